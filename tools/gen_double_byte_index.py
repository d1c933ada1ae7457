#!/usr/bin/env python3
"""Writes the direct indexes that the double-byte conversion loops read instead of a bisection.

Output: codepages/tables/double_byte_index.h and double_byte_index.cpp (namespace
corvane::tables), derived from the range tables that tools/gen_double_byte_tables.py writes, as
that script builds them. Every value is checked against the library's bisection of those range
tables (ported below), for every key or unit the index can be asked for, before anything is
written; so are the block counts and sizes.

Decoding index (932, 936, 949, 950, and EUC-JP through 932). A flat table of 256-unit blocks:
  block 0      a byte that is no lead byte: the unit it decodes to (itself; 0 gives U+003F)
  block r > 0  the lead byte of rank r, by trail byte: the unit of lead * 256 + trail, or, where
               the table has none, that key itself (the unit of the same number)
A lead byte's rank comes from its position in at most two ranges of lead bytes, written beside
the table (kDecodeLeads...), so that a loop can compute it from the byte with two compares
rather than look it up:
  first range  [firstLow, firstHigh]: rank = b - firstLow + 1
  second range [secondLow, secondHigh]: rank = b - secondLow + firstHigh - firstLow + 2
               (secondLow > secondHigh: none)
Nothing is a miss: every lookup gives the unit to store.

The EUC-JP index gives what transcoding a JIS X 0208 pair to Shift_JIS and decoding that as 932
gives: the row byte (0xA1-0xFE) is the lead, the cell byte (0xA1-0xFE) the trail, and a pair that
932 lacks gives the Shift_JIS key, as 932's decoding does. An ISO-2022-JP pair is the same pair
without the high bits. Trails outside 0xA1-0xFE hold 0: the conversions take only well-formed
pairs through it.

Encoding index (932, 936, 949, 950). One u16 for each of the 65536 units: the bytes to write, in
the order they are written: a one-byte code as itself, a two-byte code as lead | trail << 8 (no
trail byte is 0, so such a value is above 0xFF); a unit the table lacks as its low byte, as the
bisection's miss rule writes it. Flat rather than in blocks by high byte: the encoding loop then
takes one load per unit instead of two dependent ones, which measured at about 1.7 times the
speed, for 128 KB a code page where the blocks would take 47 to 73 KB.

Usage: python3 tools/gen_double_byte_index.py [--out DIR]   (default: <repo>/codepages/tables)
"""

import sys

from gen_double_byte_tables import build_tables, require, run, search, sjis_to_jis

SCRIPT = "tools/gen_double_byte_index.py"
SOURCES = "the range tables of tools/gen_double_byte_tables.py"

# Lead byte ranges: the library's IsDbcsLeadByte, which dbcs_lookup.cpp checks them against.
LEADS = {
    932: ((0x81, 0x9F), (0xE0, 0xEF)),
    936: ((0xA1, 0xFE),),
    949: ((0xA1, 0xFE),),
    950: ((0xA1, 0xFE),),
    "EucJp": ((0xA1, 0xFE),),
}
DECODED = (932, 936, 949, 950, "EucJp")
ENCODED = (932, 936, 949, 950)

# What each index must measure: decoding blocks (block 0 included), encoding units.
EXPECTED_SIZES = {
    932: (48, 65536),
    936: (95, 65536),
    949: (95, 65536),
    950: (95, 65536),
    "EucJp": (95, None),
}

# Looked up through the finished index: key -> unit (decoding), unit -> bytes (encoding).
SAMPLES = {
    932: ({0x82A0: 0x3042, 0x889F: 0x4E9C, 0x8160: 0x30FC, 0x8540: 0x8540, 0x0041: 0x0041,
           0x0000: 0x003F, 0x00A1: 0x00A1},
          {0x3042: b"\x82\xa0", 0x005C: b"\x5c", 0x0041: b"\x41", 0x301C: b"\x1c"}),
    936: ({0xB0A1: 0x554A, 0xA1AB: 0x301C}, {0x554A: b"\xb0\xa1", 0x2016: b"\x16"}),
    949: ({0xB0A1: 0xAC00, 0xA2E6: 0xA2E6, 0x0081: 0x0081}, {0xAC00: b"\xb0\xa1"}),
    950: ({0xA440: 0x4E00, 0xA1CC: 0x0023}, {0x0023: b"\xa1\xcc", 0x0041: b"\x41"}),
    # EUC-JP A1C1 is Shift_JIS 0x8160, where 932 has U+30FC; B0A1 is 0x889F.
    "EucJp": ({0xA4A2: 0x3042, 0xB0A1: 0x4E9C, 0xA1C1: 0x30FC, 0x0041: 0x0041}, {}),
}


def rank_of(ranges):
    """byte -> rank for every lead byte of the ranges, in order, from 1."""
    ranks = {}
    for low, high in ranges:
        require(low <= high, f"lead range 0x{low:02X}-0x{high:02X} is empty")
        for b in range(low, high + 1):
            require(b not in ranks, f"lead byte 0x{b:02X} is in two ranges")
            ranks[b] = len(ranks) + 1
    return ranks


def jis_to_sjis(row, cell):
    """JIS X 0208 row/cell (0x21-0x7E) to Shift_JIS lead/trail, by the library's arithmetic."""
    lead = ((row + 1) >> 1) + (0x70 if row < 0x5F else 0xB0)
    if row & 1:
        trail = cell + (0x1F if cell < 0x60 else 0x20)
    else:
        trail = cell + 0x7E
    return lead, trail


def decode_key(table, key):
    """What the bisection decodes a key to: its unit, or the key itself; 0 gives U+003F."""
    found = search(table["fwd_rows"], table["fwd_values"], key)
    return found if found is not None else key if key != 0 else 0x3F


def single_byte(name, tables, b):
    """Block 0: a byte that is no lead byte, decoded as a key of its own. The EUC-JP index is
    only asked for bytes below 0x80, which 932 holds no character for."""
    return decode_key(tables[932 if name == "EucJp" else name], b)


def build_decode(name, tables):
    ranks = rank_of(LEADS[name])
    blocks = [0] * ((len(ranks) + 1) * 256)
    for b in range(256):
        blocks[b] = single_byte(name, tables, b)
    for lead, rank in ranks.items():
        for trail in range(256):
            at = rank * 256 + trail
            if name == "EucJp":
                if 0xA1 <= trail <= 0xFE:
                    sjis_lead, sjis_trail = jis_to_sjis(lead - 0x80, trail - 0x80)
                    blocks[at] = decode_key(tables[932], sjis_lead << 8 | sjis_trail)
            else:
                blocks[at] = decode_key(tables[name], lead << 8 | trail)
    return blocks


def check_decode(name, tables, blocks):
    """Every byte and every lead/trail pair, looked up as a loop does, against the bisection."""
    ranks = rank_of(LEADS[name])
    for b in range(256):
        expected = b if b != 0 else 0x3F
        require(blocks[b] == single_byte(name, tables, b) == expected,
                f"{name}: byte 0x{b:02X} is not itself in block 0")
    for lead, rank in ranks.items():
        for trail in range(256):
            got = blocks[rank * 256 + trail]
            if name != "EucJp":
                expected = decode_key(tables[name], lead << 8 | trail)
            elif 0xA1 <= trail <= 0xFE:
                # The other direction's arithmetic, as gen_double_byte_tables.py ports it, must
                # take the pair back: the two are inverses on JIS X 0208.
                sjis = jis_to_sjis(lead - 0x80, trail - 0x80)
                require(sjis_to_jis(*sjis) == (lead - 0x80, trail - 0x80),
                        f"EucJp: 0x{lead:02X}{trail:02X} does not come back from Shift_JIS")
                expected = decode_key(tables[932], sjis[0] << 8 | sjis[1])
            else:
                expected = 0
            require(got == expected, f"{name}: 0x{lead:02X}{trail:02X} gives 0x{got:04X}, "
                                     f"expected 0x{expected:04X}")
    # Every character of the range table is reached through some pair, and none has the unit of
    # its key's number, which is what a key the table lacks decodes to: a value that equals its
    # key says "no character" (tests/windows/system_road_test.cpp relies on it).
    if name != "EucJp":
        require(all(k != u for k, u in tables[name]["forward"].items()),
                f"{name}: a key decodes to the unit of its own number")
        reached = {(lead << 8 | trail) for lead in ranks for trail in range(256)}
        strays = [k for k in tables[name]["forward"] if k not in reached]
        # 949's Unified Hangul additions at 0x81-0xA0 are no lead bytes of its decoding.
        require(all(name == 949 and 0x81 <= k >> 8 <= 0xA0 for k in strays),
                f"{name}: keys no lead byte reaches: {strays[:4]}")


def order_bytes(code):
    """A code as the bytes it is written as, first byte in the low half."""
    return code if code <= 0xFF else (code >> 8) | (code & 0xFF) << 8


def build_encode(table):
    encode = []
    for unit in range(0x10000):
        found = search(table["rev_rows"], table["rev_values"], unit)
        encode.append(unit & 0xFF if found is None else order_bytes(found))
    return encode


def check_encode(name, table, encode):
    """Every unit against the bisection, read back as the loops read a value."""
    require(len(encode) == 0x10000, f"{name}: the encoding index is not one value per unit")
    for unit, value in enumerate(encode):
        found = search(table["rev_rows"], table["rev_values"], unit)
        if found is None:
            require(value == unit & 0xFF, f"{name}: U+{unit:04X} lacks a code but gives "
                                          f"0x{value:04X}, not its low byte")
        elif found > 0xFF:
            require(found & 0xFF != 0 and value == (found >> 8 | (found & 0xFF) << 8),
                    f"{name}: U+{unit:04X} gives 0x{value:04X} for code 0x{found:04X}")
        else:
            require(value == found, f"{name}: U+{unit:04X} gives 0x{value:04X}, not 0x{found:02X}")


def as_bytes(value):
    return bytes((value & 0xFF,)) if value <= 0xFF else bytes((value & 0xFF, value >> 8))


def check_samples(name, decode, encode):
    ranks = rank_of(LEADS[name])
    decoded, encoded = SAMPLES[name]
    for key, unit in decoded.items():
        at = ranks[key >> 8] * 256 + (key & 0xFF) if key > 0xFF else key
        require(decode[at] == unit, f"{name}: 0x{key:04X} gives 0x{decode[at]:04X}, "
                                    f"expected 0x{unit:04X}")
    for unit, written in encoded.items():
        got = as_bytes(encode[unit])
        require(got == written, f"{name}: U+{unit:04X} writes {got.hex()}, expected "
                                f"{written.hex()}")


def build_indexes():
    tables = build_tables()
    indexes = {}
    for name in DECODED:
        decode = build_decode(name, tables)
        check_decode(name, tables, decode)
        encode = None
        if name in ENCODED:
            encode = build_encode(tables[name])
            check_encode(name, tables[name], encode)
        measured = (len(decode) // 256, None if encode is None else len(encode))
        require(measured == EXPECTED_SIZES[name],
                f"{name}: sizes {measured}, expected {EXPECTED_SIZES[name]}")
        check_samples(name, decode, encode)
        indexes[name] = (decode, encode)
    return indexes


# ---------------------------------------------------------------------------------------------
# Emitting


def total_bytes(indexes):
    total = 0
    for decode, encode in indexes.values():
        total += 2 * len(decode)
        if encode is not None:
            total += 2 * len(encode)
    return total


def banner():
    return [
        f"// GENERATED by {SCRIPT} from {SOURCES} — do not edit.",
        f"// Regenerate: python3 {SCRIPT}",
        "// clang-format off",
    ]


def leads_words(name):
    ranges = list(LEADS[name]) + [(0xFF, 0x00)] * (2 - len(LEADS[name]))
    return ", ".join(f"0x{v:02X}" for pair in ranges for v in pair)


def render_header(indexes):
    out = banner() + [
        "//",
        "// Decoding: kDecodeUnits[rank(lead) * 256 + trail], or [byte] for a byte that is no",
        "// lead byte; kDecodeLeads holds the lead ranges {firstLow, firstHigh, secondLow,",
        "// secondHigh} that ranks count through. Encoding: kEncodeBytes[unit], the bytes in the",
        "// order written (two bytes: lead | trail << 8).",
        "// Format and derivation: tools/gen_double_byte_index.py.",
        f"// In all {total_bytes(indexes)} bytes.",
        "#pragma once",
        "",
        "#include <cstdint>",
        "",
        "namespace corvane::tables {",
    ]
    for name in DECODED:
        decode, encode = indexes[name]
        out += ["", f"// {name}"]
        out.append(f"inline constexpr std::uint8_t kDecodeLeads{name}[4] = {{{leads_words(name)}}};")
        out.append(f"extern const std::uint16_t kDecodeUnits{name}[{len(decode)}];")
        if encode is not None:
            out.append(f"extern const std::uint16_t kEncodeBytes{name}[{len(encode)}];")
    out += ["", "}  // namespace corvane::tables", ""]
    return "\n".join(out)


def render_words(words, per_line=16, indent="    "):
    return [indent + ", ".join(f"0x{w:04X}" for w in words[i:i + per_line]) + ","
            for i in range(0, len(words), per_line)]


def render_blocks(declaration, blocks, describe):
    out = ["", declaration + " = {"]
    for number in range(len(blocks) // 256):
        out.append(f"    // {describe(number)}")
        out += render_words(blocks[number * 256:(number + 1) * 256])
    return out + ["};"]


def render_source(indexes):
    out = banner() + ['#include "codepages/tables/double_byte_index.h"', "",
                      "namespace corvane::tables {"]
    for name in DECODED:
        decode, encode = indexes[name]
        leads = {rank: b for b, rank in rank_of(LEADS[name]).items()}
        out += render_blocks(f"const std::uint16_t kDecodeUnits{name}[{len(decode)}]", decode,
                             lambda n: "single bytes" if n == 0 else f"lead 0x{leads[n]:02X}")
        if encode is not None:
            out += render_blocks(f"const std::uint16_t kEncodeBytes{name}[{len(encode)}]", encode,
                                 lambda n: f"U+{n:02X}00")
    out += ["", "}  // namespace corvane::tables", ""]
    return "\n".join(out)


def main():
    return run(SCRIPT, __doc__.splitlines()[0], build_indexes,
               (("double_byte_index.h", render_header), ("double_byte_index.cpp", render_source)))


if __name__ == "__main__":
    sys.exit(main())
