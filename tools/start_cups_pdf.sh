#!/usr/bin/env bash
# Makes a real printer for the Windows print tests: starts the CUPS scheduler
# when it is not running and adds the PDF printer "GleanerPDF" (cups-pdf) as
# the default printer, which Wine lists through its printer driver. Every page
# printed to it lands as a PDF file in the folder printed on the last line
# ("PDFDIR <folder>"), named after the job's document name.
# Where it cannot (no CUPS, no cups-pdf, not root) it prints "SKIP: <why>" and
# exits 0, and the print tests skip with that reason.
set -u
queue=GleanerPDF
outdir=/var/spool/gleaner-cups-pdf
skip() { echo "SKIP: $*"; exit 0; }

# Root first: the cups-pdf backend is readable by root alone.
[ "$(id -u)" -eq 0 ] || skip "starting CUPS and adding a printer needs root"
command -v cupsd >/dev/null || skip "cupsd is not installed (packages cups, printer-driver-cups-pdf)"
command -v lpadmin >/dev/null || skip "lpadmin is not installed (package cups-client)"
[ -x /usr/lib/cups/backend/cups-pdf ] || skip "the cups-pdf backend is not installed (package printer-driver-cups-pdf)"
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$ppd" ] || skip "the cups-pdf PPD is missing ($ppd)"

# "lpstat -r" exits 0 whether or not the scheduler runs: read what it says.
running() { lpstat -r 2>/dev/null | grep -q "scheduler is running"; }
if ! running; then
  mkdir -p /run/cups
  # In the foreground in its own session: a container has no init system
  # to hand a daemon to, and the scheduler must outlive this script.
  setsid cupsd -f >/dev/null 2>&1 < /dev/null &
  for _ in $(seq 1 100); do
    running && break
    sleep 0.1
  done
  running || skip "cupsd started but does not answer"
fi

# The queue's own cups-pdf settings (cups-pdf reads cups-pdf-<queue>.conf
# for the URI cups-pdf:/<queue>): one fixed output folder for every user.
mkdir -p "$outdir"
chmod 1777 "$outdir"
cat > /etc/cups/cups-pdf-$queue.conf <<CONF
Out $outdir
AnonDirName $outdir
UserUMask 0000
Grp root
CONF

if ! lpstat -p "$queue" >/dev/null 2>&1; then
  lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" || skip "lpadmin could not add $queue"
fi
cupsenable "$queue" 2>/dev/null
cupsaccept "$queue" 2>/dev/null
lpadmin -d "$queue" || skip "lpadmin could not make $queue the default printer"
echo "PDFDIR $outdir"
