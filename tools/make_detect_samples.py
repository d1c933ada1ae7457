#!/usr/bin/env python3
"""Writes the held-out samples the detection benchmark (bench/detect_bench.cpp) measures on.

Usage: make_detect_samples.py OUTFILE

The samples come from the test half of tools/detect_corpus.py, which no model trains on: COUNT of
each encoding at each size, cut at a character boundary. UTF-16 without a byte order mark is one
row of the benchmark's table, half of its samples little-endian and half big-endian, taken from
alternate starts so that the two halves are not the same text twice.

The file is a line "corvane-detect-samples 1", then one record per sample: a header line
"ROW ENCODING SIZE LENGTH" (ROW names the table row, ENCODING the encoding the bytes are in, SIZE
the size the sample was cut to) followed by LENGTH bytes and a line feed. The same machine always
writes the same file.
"""

import functools
import pathlib
import sys

import detect_corpus

SIZES = [16, 64, 256, 1024, 16384]
COUNT = 200
# The table's rows, in the order it prints them.
ROWS = ["US-ASCII", "UTF-8", "UTF-16", "Shift_JIS", "EUC-JP", "ISO-2022-JP", "GBK", "Big5",
        "EUC-KR", "windows-1251", "KOI8-R", "IBM866", "ISO-8859-5", "windows-1250",
        "windows-1252", "windows-1253", "windows-1254", "windows-1255", "windows-1256",
        "windows-1257"]
MAGIC = b"corvane-detect-samples 1\n"

# An encoding's held-out text is the same at every size: build it once, not once per size.
detect_corpus.test_text = functools.lru_cache(maxsize=None)(detect_corpus.test_text)


def row_samples(row, size):
    """(encoding, bytes) for every sample of `row` at `size`."""
    if row == "UTF-16":
        little = detect_corpus.samples("UTF-16LE", size, COUNT)[0::2]
        big = detect_corpus.samples("UTF-16BE", size, COUNT)[1::2]
        return [("UTF-16LE", s) for s in little] + [("UTF-16BE", s) for s in big]
    return [(row, s) for s in detect_corpus.samples(row, size, COUNT)]


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[2])
    out = bytearray(MAGIC)
    for row in ROWS:
        for size in SIZES:
            pieces = row_samples(row, size)
            # Too few samples would make a row's percentage say little; an empty row means the
            # machine lacks the catalogues the text comes from.
            if len(pieces) < COUNT * 9 // 10:
                sys.exit(f"make_detect_samples.py: only {len(pieces)} samples of {row} at {size}"
                         " bytes; are the translation catalogues installed?")
            for encoding, data in pieces:
                assert len(data) <= size
                out += f"{row} {encoding} {size} {len(data)}\n".encode("ascii")
                out += data + b"\n"
    path = pathlib.Path(sys.argv[1])
    temporary = path.with_suffix(path.suffix + ".tmp")
    temporary.write_bytes(bytes(out))
    temporary.replace(path)


if __name__ == "__main__":
    main()
