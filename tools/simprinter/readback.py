#!/usr/bin/python3
"""What a PostScript printer's settings are when the pages begin.

Runs the document setup of a PostScript job (the text between %%BeginSetup
and %%EndSetup, where the print system puts the code of every PPD option)
through Ghostscript, as the printer's interpreter would, and reads back every
key of userdict that begins with "VX".

    readback.py JOB.ps            one JSON object: {"VXQuickColor": "Photo", ...}

Names come back without their slash, strings as their text (bytes taken as
Latin-1 so that any byte survives). A key ending in "Path" holds a profile
path as nibble text (two characters 0x30 + high and low nibble per byte of
the UTF-8 path); decode_nibbles() turns it back into the path.
"""
import json
import subprocess
import sys

# Prints "KEY<TAB>n<TAB>NAME", "KEY<TAB>s<TAB>HEX" or "KEY<TAB>o<TAB>TEXT" per
# VX key of userdict, one line each.
DUMP = r"""
/zrkhex (0123456789abcdef) def
/zrkout { dup -4 bitshift zrkhex exch 1 getinterval print
          15 and zrkhex exch 1 getinterval print } def
userdict {
  exch dup type /nametype eq { dup length string cvs } if
  dup type /stringtype eq {
    dup (VX) anchorsearch {
      pop pop print (\t) print
      dup type /nametype eq { (n\t) print =only } {
        dup type /stringtype eq { (s\t) print { zrkout } forall } { (o\t) print ==only } ifelse
      } ifelse
      (\n) print
    } { pop pop pop } ifelse
  } { pop pop } ifelse
} forall
"""


class NoSetup(Exception):
    pass


def document_setup(data):
    """The document setup of a PostScript job (bytes), markers included."""
    begin = data.find(b"%%BeginSetup")
    end = data.find(b"%%EndSetup", begin + 1)
    if begin < 0 or end < 0:
        raise NoSetup("the job has no document setup")
    return data[begin:end] + b"%%EndSetup\n"


def read_settings(data, gs="gs"):
    """The VX keys the document setup of `data` leaves in userdict."""
    setup = document_setup(data)
    result = subprocess.run(
        [gs, "-q", "-dNODISPLAY", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-", "-c", DUMP],
        input=setup, capture_output=True, timeout=60)
    settings = {}
    for line in result.stdout.decode("latin-1").splitlines():
        parts = line.split("\t", 2)
        if len(parts) != 3:
            continue
        key, kind, value = parts
        if kind == "s":
            value = bytes.fromhex(value).decode("latin-1")
        settings[key] = value
    if result.returncode != 0 and not settings:
        raise NoSetup("Ghostscript could not run the document setup: " +
                      result.stderr.decode("utf-8", "replace").strip())
    return dict(sorted(settings.items()))


def decode_nibbles(text):
    """The path that nibble text stands for (None when it is not nibble text)."""
    if len(text) % 2 or any(not 0x30 <= ord(c) <= 0x3f for c in text):
        return None
    raw = bytes(((ord(text[i]) - 0x30) * 16 + ord(text[i + 1]) - 0x30)
                for i in range(0, len(text), 2))
    return raw.decode("utf-8", "replace")


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        data = f.read()
    try:
        settings = read_settings(data)
    except NoSetup as e:
        print("readback: %s" % e, file=sys.stderr)
        return 1
    json.dump(settings, sys.stdout, sort_keys=True)
    print()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
