#!/usr/bin/env python3
"""Checks that the resource scripts name every id they give.

Control and help ids are defined once, in the headers of resources/ that the
.rc files and the code both include. A control statement of a dialog template
(or of a template macro), an accelerator entry, or a resource (bitmap, cursor,
icon, dialog, accelerator table) whose id is a raw number instead of a name is
reported, and so is a name of those headers defined twice. Prints one line per
fault and exits 1 when there is any.

    check_rc_ids.py [tree]       check the tree's resources/ (default: this repository)
    check_rc_ids.py --self-test  check the rules on a table of cases
    --junit FILE                 also write the two checks as a JUnit report
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from junitreport import write_junit  # noqa: E402

# Statements whose first operand is the text and the second the id.
TEXT_FIRST = {"LTEXT", "RTEXT", "CTEXT", "PUSHBUTTON", "DEFPUSHBUTTON", "GROUPBOX", "RADIOBUTTON",
              "AUTORADIOBUTTON", "CHECKBOX", "AUTOCHECKBOX", "STATE3", "AUTO3STATE", "PUSHBOX",
              "ICON", "CONTROL"}
# Statements whose first operand is the id.
ID_FIRST = {"EDITTEXT", "COMBOBOX", "LISTBOX", "SCROLLBAR"}
RESOURCE_KINDS = {"BITMAP", "CURSOR", "ICON", "DIALOG", "DIALOGEX", "ACCELERATORS", "MENU", "MENUEX",
                  "RCDATA", "STRINGTABLE"}
STRING = r'"(?:[^"]|"")*"'
NAME = re.compile(r"^[A-Za-z_][A-Za-z0-9_]*$")
DEFINE = re.compile(r"^\s*#\s*define\s+([A-Za-z_][A-Za-z0-9_]*)\s+\S")


def strip(line):
    """The line without its comment and its continuation backslash."""
    out, quoted = [], False
    i = 0
    while i < len(line):
        c = line[i]
        if c == '"':
            quoted = not quoted
        elif not quoted and line.startswith("//", i):
            break
        out.append(c)
        i += 1
    text = "".join(out).rstrip()
    if text.endswith("\\"):
        text = text[:-1].rstrip()
    return text


def id_of_statement(text):
    """(keyword, id operand) of a control statement, or None for another line."""
    m = re.match(r"^\s*([A-Z0-9]+)\s+(.*)$", text)
    if not m or m.group(1) not in TEXT_FIRST | ID_FIRST:
        return None
    keyword, rest = m.group(1), m.group(2)
    if keyword in TEXT_FIRST:
        t = re.match(r"^(?:" + STRING + r"|[A-Za-z_]\w*)\s*,\s*([^,]+)", rest)
    else:
        t = re.match(r"^([^,]+)", rest)
    return (keyword, t.group(1).strip() if t else "")


def line_faults(text, in_accelerators):
    """Why the (stripped) line gives a raw id; empty when it does not."""
    faults = []
    statement = id_of_statement(text)
    if statement:
        keyword, operand = statement
        if not NAME.match(operand):
            faults.append("%s gives the id %s: use its name" % (keyword, operand or "(none)"))
        return faults
    m = re.match(r"^\s*(\S+)\s+([A-Z]+)\b", text)
    if m and m.group(2) in RESOURCE_KINDS and m.group(2) != "STRINGTABLE":
        if not NAME.match(m.group(1)):
            faults.append("%s resource %s: use a name" % (m.group(2), m.group(1)))
        return faults
    if in_accelerators:
        fields = [f.strip() for f in re.findall(STRING + r"|[^,]+", text)]
        if len(fields) >= 2 and not NAME.match(fields[1]):
            faults.append("accelerator command %s: use its name" % fields[1])
    return faults


def script_faults(name, lines):
    faults = []
    in_accelerators = False
    depth = 0
    for number, raw in enumerate(lines, 1):
        text = strip(raw)
        if not text.strip():
            continue
        word = text.split()[0]
        if re.match(r"^\s*\S+\s+ACCELERATORS\b", text):
            in_accelerators = True
        if word == "BEGIN" or word == "{":
            depth += 1
            continue
        if word == "END" or word == "}":
            depth -= 1
            if depth <= 0:
                in_accelerators = False
            continue
        for why in line_faults(text, in_accelerators and depth > 0):
            faults.append("%s:%d: %s" % (name, number, why))
    return faults


def header_faults(headers):
    """headers: (file name, lines). A name defined in two places."""
    seen, faults = {}, []
    for name, lines in headers:
        for number, line in enumerate(lines, 1):
            m = DEFINE.match(line)
            if not m or m.group(1) == "IDC_STATIC":
                continue
            where = "%s:%d" % (name, number)
            if m.group(1) in seen:
                faults.append("%s: %s is defined again (first at %s)" % (where, m.group(1), seen[m.group(1)]))
            else:
                seen[m.group(1)] = where
    return faults


def scan(root):
    folder = os.path.join(root, "resources")
    scripts, headers = [], []
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if name.endswith(".rc"):
            with open(path, encoding="latin-1") as f:
                scripts.append(("resources/" + name, f.read().splitlines()))
        elif name.endswith(".h"):
            with open(path, encoding="latin-1") as f:
                headers.append(("resources/" + name, f.read().splitlines()))
    faults = []
    for name, lines in scripts:
        faults += script_faults(name, lines)
    faults += header_faults(headers)
    return len(scripts), faults


def self_test():
    # (script lines, number of faults expected)
    cases = [
        (['    PUSHBUTTON      "New", IDC_SITE_NEW, 12, 184, 31, 14'], 0),
        (['    PUSHBUTTON      "New", 9505, 12, 184, 31, 14'], 1),
        (['    LTEXT           "a, b", IDC_STATIC, 8, 8, 60, 10'], 0),
        (['    LTEXT           "say ""1"", then", -1, 8, 8, 60, 10'], 1),
        (['    EDITTEXT        IDC_SITE_NAME, 72, 8, 120, 12, ES_AUTOHSCROLL'], 0),
        (['    EDITTEXT        2565, 72, 8, 120, 12, ES_AUTOHSCROLL'], 1),
        (['    COMBOBOX        (2506), 128, 60, 50, 80'], 1),
        (['    CONTROL         "", IDC_LIST, "ListBox", LBS_NOTIFY, 12, 16, 146, 120'], 0),
        (['    CONTROL         "meters", 0x9d2, "HyperText", 0x1, 230, 34, 40, 10'], 1),
        (['    PUSHBUTTON      ASSIGN, IDC_POOL_ASSIGN, 10, 124, 118, 14 \\'], 0),
        (['    GROUPBOX        POOL, -1, 4, 4, 130, 156 \\'], 1),
        (['    DEFPUSHBUTTON   "OK", IDOK, 30, 148, 50, 14  // 1 would be raw'], 0),
        (['IDB_LINK_ARROW BITMAP "resources/arrow512.bmp"'], 0),
        (['512 BITMAP "resources/arrow512.bmp"'], 1),
        (['KEYS ACCELERATORS', 'BEGIN', '    VK_PRIOR, IDA_PREVIOUS_PAGE, VIRTKEY', 'END'], 0),
        (['KEYS ACCELERATORS', 'BEGIN', '    VK_PRIOR, 12000, VIRTKEY', '    "a", 12001', 'END'], 2),
        (['STRINGTABLE', 'BEGIN', '    8000, "stars"', 'END'], 0),
        (['Dlg DIALOGEX 0, 0, 334, 236', 'STYLE DS_SETFONT', 'BEGIN', '    LISTBOX 6200, 1, 2, 3, 4', 'END'], 1),
    ]
    bad = 0
    for lines, expected in cases:
        got = len(script_faults("case.rc", lines))
        if got != expected:
            bad += 1
            print("self-test: %r: expected %d fault(s), got %d" % (lines, expected, got))
    twice = [("a.h", ["#define IDC_A 1"]), ("b.h", ["#define IDC_A 2", "#define IDC_STATIC (-1)"])]
    once = [("a.h", ["#define IDC_A 1", "#ifndef IDC_STATIC", "#define IDC_STATIC (-1)"]),
            ("b.h", ["#define IDC_B 1", "#define IDC_STATIC (-1)"])]
    if len(header_faults(twice)) != 1 or header_faults(once):
        bad += 1
        print("self-test: a name defined twice is not found, or a name defined once is refused")
    print("self-test: %d of %d cases right" % (len(cases) + 1 - bad, len(cases) + 1))
    return 1 if bad else 0


def main(argv):
    args = argv[1:]
    junit = None
    if "--junit" in args:
        i = args.index("--junit")
        junit = args[i + 1]
        del args[i:i + 2]
    if args and args[0] == "--self-test":
        return self_test()
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    count, faults = scan(root)
    for line in faults:
        print(line)
    rules_ok = self_test() == 0
    if junit:
        write_junit(junit, "ResourceIds", [("RulesOnATableOfCases", None if rules_ok else "self-test failed"),
                            ("EveryResourceIdHasAName", "\n".join(faults) or None)])
    if not rules_ok:
        return 1
    if faults:
        print("check_rc_ids: %d raw or doubled id(s) in the resources" % len(faults))
        return 1
    print("check_rc_ids: every id of the %d resource scripts has one name" % count)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
