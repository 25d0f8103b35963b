#!/usr/bin/python3
"""pass_persist back end of the simulated printer.

Serves the device profile table (entry 1.3.6.1.4.1.18334.1.1.1.1.6.13.1.1)
from a row file, one row per line, fields separated by tabs:

    index  location  profile-name  file-name  class  availability

Blank lines and lines starting with '#' are skipped. In the two name fields
"\\xNN" stands for the byte NN and "\\\\" for a backslash, so rows can carry
bytes that are not UTF-8. The file is read again whenever it changes, so a
running printer can be given another table without a restart.

A cell's identifier is the entry, the column, the table number 1 and the row
index. Column 6 exists (a constant) so that walkers have a column to skip.
"""
import bisect
import os
import sys

ENTRY = (1, 3, 6, 1, 4, 1, 18334, 1, 1, 1, 1, 6, 13, 1, 1)
TABLE_NUMBER = 1
# Column number -> (field of the row, pass_persist type); column 6 is a filler.
COLUMNS = {
    1: (0, "integer"),
    2: (1, "integer"),
    3: (2, "text"),
    4: (3, "text"),
    5: (4, "integer"),
    6: (None, "integer"),
    7: (5, "integer"),
}


def unescape(field):
    out = bytearray()
    i = 0
    while i < len(field):
        c = field[i]
        if c == 0x5C and field[i + 1:i + 2] == b"\\":
            out.append(0x5C)
            i += 2
        elif c == 0x5C and field[i + 1:i + 2] == b"x" and len(field) >= i + 4:
            out.append(int(field[i + 2:i + 4], 16))
            i += 4
        else:
            out.append(c)
            i += 1
    return bytes(out)


def parse_rows(data):
    rows = []
    for line in data.split(b"\n"):
        line = line.rstrip(b"\r")
        if not line.strip() or line.lstrip().startswith(b"#"):
            continue
        fields = line.split(b"\t")
        if len(fields) != 6:
            continue  # a malformed line is left out rather than stopping the printer
        try:
            rows.append((int(fields[0]), int(fields[1]), unescape(fields[2]),
                         unescape(fields[3]), int(fields[4]), int(fields[5])))
        except ValueError:
            continue
    return rows


def render(kind, value):
    if kind == "integer":
        return "integer", str(value)
    if all(0x20 <= b < 0x7F for b in value) and value == value.strip():
        return "string", value.decode("ascii")
    # Anything else travels as hex so that every byte arrives unchanged.
    return "octet", " ".join("%02X" % b for b in value)


def build_cells(rows):
    cells = []
    for row in rows:
        for column, (field, kind) in COLUMNS.items():
            value = 0 if field is None else row[field]
            oid = ENTRY + (column, TABLE_NUMBER, row[0])
            cells.append((oid, render(kind, value)))
    cells.sort(key=lambda cell: cell[0])
    return [c[0] for c in cells], [c[1] for c in cells]


class Table:
    def __init__(self, path):
        self.path = path
        self.stamp = None
        self.oids, self.values = [], []

    def refresh(self):
        try:
            st = os.stat(self.path)
            stamp = (st.st_mtime_ns, st.st_size, st.st_ino)
            if stamp == self.stamp:
                return
            with open(self.path, "rb") as f:
                data = f.read()
        except OSError:
            stamp, data = None, b""
        self.stamp = stamp
        self.oids, self.values = build_cells(parse_rows(data))

    def get(self, oid):
        i = bisect.bisect_left(self.oids, oid)
        if i < len(self.oids) and self.oids[i] == oid:
            return i
        return None

    def getnext(self, oid):
        i = bisect.bisect_right(self.oids, oid)
        return i if i < len(self.oids) else None


def parse_oid(text):
    try:
        return tuple(int(part) for part in text.strip().strip(".").split(".") if part)
    except ValueError:
        return None


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: profile_table.py ROW-FILE\n")
        return 2
    table = Table(sys.argv[1])
    out = sys.stdout
    readline = sys.stdin.readline
    while True:
        command = readline()
        if not command:
            return 0  # the agent closed the pipe: it is shutting down
        command = command.strip().lower()
        if command == "ping":
            out.write("PONG\n")
        elif command in ("get", "getnext"):
            oid = parse_oid(readline())
            table.refresh()
            i = None
            if oid is not None:
                i = table.get(oid) if command == "get" else table.getnext(oid)
            if i is None:
                out.write("NONE\n")
            else:
                kind, text = table.values[i]
                out.write(".%s\n%s\n%s\n" % (".".join(map(str, table.oids[i])), kind, text))
        elif command == "set":
            readline()
            readline()
            out.write("not-writable\n")
        else:
            out.write("NONE\n")
        out.flush()


if __name__ == "__main__":
    sys.exit(main())
