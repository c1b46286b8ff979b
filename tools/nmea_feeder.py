#!/usr/bin/env python3
"""Plays a recording of NMEA 0183 sentences into a serial device (one end of a
socat pseudo-terminal pair), as a receiver sends its burst once a second.

usage: nmea_feeder.py DEVICE RECORDING [--seconds N] [--interval S]
Stops by itself after N seconds (default 120)."""
import argparse
import os
import sys
import time


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("device")
    ap.add_argument("recording")
    ap.add_argument("--seconds", type=float, default=120.0)
    ap.add_argument("--interval", type=float, default=0.5)
    a = ap.parse_args()
    with open(a.recording, "rb") as f:
        burst = f.read()
    fd = os.open(a.device, os.O_WRONLY | os.O_NOCTTY)
    end = time.monotonic() + a.seconds
    try:
        while time.monotonic() < end:
            os.write(fd, burst)
            time.sleep(a.interval)
    except OSError as e:  # the other end went away
        print("nmea_feeder: %s" % e, file=sys.stderr)
    finally:
        os.close(fd)


if __name__ == "__main__":
    main()
