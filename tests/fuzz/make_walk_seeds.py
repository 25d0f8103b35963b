#!/usr/bin/env python3
"""Writes the walk-answer fuzzer's seeds from the walk tests' row files.

Each row file line (index, location, profile name, file name, class,
availability) becomes the cells a printer answers for that row, in the
fuzzer's input form (see WalkAnswerFuzzer.cpp)."""
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
ROWS = HERE.parent / "Walk" / "fixtures"
OUT = HERE / "corpus" / "walk_answer"
INTEGER, TEXT = 0, 1


def cell(column, row, kind, value):
    shape = 0
    if row > 0xFFFF:
        shape, row = 0x08, 0
    if kind == INTEGER:
        data = struct.pack("<q", value if value < 2**63 else value - 2**64)
    else:
        data = value[:255]
    return bytes([shape, column, row >> 8, row & 0xFF, kind, len(data)]) + data


def text(field):
    return field.encode("latin-1").decode("unicode_escape").encode("latin-1")


def seed(rows_file, first):
    out = bytes([first])
    for line in (ROWS / rows_file).read_text().splitlines():
        if not line or line.startswith("#"):
            continue
        index, location, name, file_name, klass, avail = line.split("\t")
        row = int(index)
        out += cell(1, row, INTEGER, row)
        out += cell(2, row, INTEGER, int(location))
        out += cell(3, row, TEXT, text(name))
        out += cell(4, row, TEXT, text(file_name))
        out += cell(5, row, INTEGER, int(klass))
        out += cell(7, row, INTEGER, int(avail))
    return out


def through_the_file(data):
    """Adds the trailing byte that makes the byte sum a multiple of 32: with
    bits 4-7 of the first byte set, the input then asks for the whole path
    through the profile file."""
    return data + bytes([(32 - sum(data) % 32) % 32])


OUT.mkdir(parents=True, exist_ok=True)
for rows_file in ("three-rows.txt", "hostile-rows.txt"):
    stem = rows_file.removesuffix(".txt")
    # Successful walk onto no file, failed walk onto a file with entries.
    (OUT / f"{stem}-new-file").write_bytes(seed(rows_file, 0x00))
    (OUT / f"{stem}-failed-onto-entries").write_bytes(seed(rows_file, 0x03))
    # Onto groups whose every slot is taken; and the whole path through the
    # profile file, written, merged and read back.
    (OUT / f"{stem}-onto-full-groups").write_bytes(seed(rows_file, 0x08))
    (OUT / f"{stem}-through-the-file").write_bytes(through_the_file(seed(rows_file, 0xF2)))
    (OUT / f"{stem}-through-the-full-file").write_bytes(
        through_the_file(seed(rows_file, 0xF9)))
