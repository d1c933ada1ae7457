#!/usr/bin/env python3
"""Writes the range-compressed tables of the six double-byte code pages.

Output: codepages/tables/double_byte_tables.h and double_byte_tables.cpp (namespace
corvane::tables). The layout is the one codepages/table_types.h documents: a range array is a
u16 array of packed (first, last, offset) triples, a value array is u16, and no value is 0.

The conversion loops read the direct indexes that tools/gen_double_byte_index.py derives from
these range tables; the bisection over them stays as the definition.

Sources. Python's standard CJK codecs, restricted to each code page's key range:
  932    shift_jis  (JIS X 0208 at its Shift_JIS codes)
  936    gb2312     (GB 2312 at its EUC-CN codes)
  949    cp949      (KS X 1001 plus the Unified Hangul Code additions)
  950    big5
  51932  derived from our 932 table: every code moved to its JIS row/cell code plus 0x8080
  2022   derived from our 51932 table: every code lowered by 0x8080
The codecs are then changed in exactly the rows and absences listed in ROW_OVERRIDES and
ABSENT below; the reverse tables are the inverses of the forward tables, with the choices that
codepages/one_way_mappings.txt lists wherever one character has more than one code (or goes
back to a code other than its own).

What the investigation of the sources found (kept here so nobody has to redo it):
  * shift_jis differs from cp932 on 0x8160 (U+301C vs U+FF5E), 0x8161 (U+2016 vs U+2225),
    0x817C (U+2212 vs U+FF0D), 0x8191/0x8192/0x81CA (U+00A2/U+00A3/U+00AC vs U+FFE0/U+FFE1/
    U+FFE2). Our 932 keeps shift_jis's values there except 0x8160 and 0x817C, which become
    U+30FC, and 0x815F, which becomes U+005C (both codecs give U+FF3C).
  * Python's euc_jp and iso2022_jp agree with shift_jis at every one of the 6879 JIS X 0208
    positions, so the derived 51932 and 2022 tables are cross-checked against them.
  * gb2312 gives 0xA1AB U+FF5E and 0xA1AC U+2016; our 936 has U+301C and U+2225 there.
  * cp949 holds 17048 codes in 0x8141-0xFDFE; removing 0xA2E6 (U+20AC) and 0xA2E7 (U+00AE)
    leaves 17046. Its 8822 additional Hangul syllables are every code outside KS X 1001's
    0xA1-0xFE x 0xA1-0xFE square: 5696 at leads 0x81-0xA0 with trails 0x41-0xFE (minus
    0x5B-0x60 and 0x7B-0x80), and 3126 at leads 0xA1-0xC6 with trails below 0xA1 (lead 0xC6
    only up to 0xC652). Only 5814 of the 8822 have a trail below 0xA1; the 3008 others sit at
    leads 0x81-0xA0 with trails 0xA1-0xFE. A description of the additions as "trail bytes
    below 0xA1" therefore undercounts them; the counts decide, and the codec gives 8822.
  * big5 holds 13710 codes in 0xA140-0xF9D5. 0xA3E1 (the euro sign of cp950) is not among
    them, so the eight listed absences remove seven codes and leave 13703. The absences also
    remove big5's four duplicate characters (0xA1FE/0xA241 U+FF0F, 0xA240/0xA242 U+FF3C,
    0xA2CC/0xA451 U+5341, 0xA2CE/0xA4CA U+5345), which makes 950's reverse table an exact
    inverse.

Every file is written only after every check below passes: key ranges, row and value counts,
byte sizes, the leading size words, the range-array invariants (all checked on the arrays
exactly as they will be written), the one-way data (it must name every character with more
than one code, and exactly its codes), and the listed samples, rows, reverse choices and
absences, looked up through a port of the library's bisection. Output is deterministic.

Usage: python3 tools/gen_double_byte_tables.py [--out DIR]   (default: <repo>/codepages/tables)
"""

import argparse
import sys
from pathlib import Path

from gen_one_way_mappings import DATA as ONE_WAY_DATA, DataError, read_one_way_mappings

SCRIPT = "tools/gen_double_byte_tables.py"
SOURCES = "Python's standard shift_jis, gb2312, cp949 and big5 codecs"
ORDER = (932, 936, 949, 950, 51932, 2022)

# What each finished table must measure. Sizes are bytes; the reverse arrays of 51932 and 2022
# carry one leading u16 holding the byte size of the rest of the array, counted in the sizes
# but not in the row counts.
EXPECTED = {
    #      key range         fwd rows fwd vals rev rows rev vals  sizes: fr   fv     rr     rv
    932: ((0x8140, 0xEAA4), 88, 6879, 4122, 6877, (528, 13758, 24732, 13754)),
    936: ((0xA1A1, 0xF7FE), 86, 7445, 3631, 7444, (516, 14890, 21786, 14888)),
    949: ((0x8141, 0xFDFE), 270, 17046, 3386, 17046, (1620, 34092, 20316, 34092)),
    950: ((0xA140, 0xF9D5), 181, 13703, 3820, 13703, (1086, 27406, 22920, 27406)),
    51932: ((0xA1A1, 0xF4A6), 86, 6879, 4123, 6878, (516, 13758, 24740, 13758)),
    2022: ((0x2121, 0x7426), 86, 6879, 4124, 6879, (516, 13758, 24746, 13760)),
}
SIZE_WORD_IDS = (51932, 2022)

CODEC_SOURCES = {932: "shift_jis", 936: "gb2312", 949: "cp949", 950: "big5"}

# Rows whose character is set regardless of what the codec says (most already agree).
ROW_OVERRIDES = {
    932: {
        0x8150: 0xFFE3, 0x815C: 0x2015, 0x815F: 0x005C, 0x8160: 0x30FC, 0x8161: 0x2016,
        0x817C: 0x30FC, 0x818F: 0xFFE5, 0x8191: 0x00A2, 0x8192: 0x00A3, 0x81CA: 0x00AC,
    },
    936: {
        0xA1A4: 0x30FB, 0xA1AA: 0x2015, 0xA1AB: 0x301C, 0xA1AC: 0x2225, 0xA1E9: 0xFFE0,
        0xA1EA: 0xFFE1, 0xA3A4: 0xFFE5, 0xA3FE: 0xFFE3,
    },
    949: {},
    950: {
        0xA145: 0x30FB, 0xA14E: 0xFE51, 0xA155: 0xFE32, 0xA1C2: 0x203E, 0xA1CC: 0x0023,
        0xA1CD: 0x0026, 0xA1CE: 0x002A, 0xA1D8: 0x2264, 0xA1D9: 0x2265, 0xA1E3: 0x223C,
        0xA1F2: 0x2641, 0xA1F3: 0x2609, 0xA241: 0xFF0F, 0xA242: 0xFF3C, 0xA244: 0x00A5,
        0xA246: 0x00A2, 0xA247: 0x00A3, 0xA24C: 0x0024, 0xA24D: 0x0025, 0xA24E: 0x0040,
        0xC94A: 0xFA0C, 0xDDFC: 0xFA0D,
    },
    51932: {0xA1C1: 0x301C},
    2022: {0x215D: 0x2212},
}

# Codes removed from the codec's repertoire (950 also loses everything from 0xF9D6 on, which
# its key range already cuts off).
ABSENT = {
    932: (),
    936: (),
    949: (0xA2E6, 0xA2E7),
    950: (0xA15A, 0xA1C3, 0xA1C5, 0xA1FE, 0xA240, 0xA2CC, 0xA2CE, 0xA3E1),
    51932: (),
    2022: (),
}


class TableError(Exception):
    pass


def require(condition, message):
    if not condition:
        raise TableError(message)


def hexs(values):
    return ", ".join(f"0x{v:04X}" for v in values)


def show(value):
    return "a miss" if value is None else f"0x{value:04X}"


# ---------------------------------------------------------------------------------------------
# Building the maps


def decode_codec(codec, first, last):
    """Every two-byte key in [first, last] that the codec decodes to exactly one BMP unit."""
    forward = {}
    for key in range(first, last + 1):
        try:
            text = bytes((key >> 8, key & 0xFF)).decode(codec)
        except UnicodeDecodeError:
            continue
        # A pair of two valid single bytes decodes to two characters: not a double-byte code.
        if len(text) == 1 and ord(text) <= 0xFFFF:
            forward[key] = ord(text)
    return forward


def sjis_to_jis(lead, trail):
    """Shift_JIS lead/trail to JIS X 0208 row/cell, by the library's code arithmetic."""
    a = 1 if trail < 0x9F else 0
    row = ((lead - (0x70 if lead < 0xA0 else 0xB0)) << 1) - a
    if a == 0:
        cell = trail - 0x7E
    else:
        cell = trail - (0x20 if trail > 0x7F else 0x1F)
    return row & 0xFF, cell & 0xFF


def apply_edits(cp, forward, source):
    changes = []
    for key in ABSENT[cp]:
        if key in forward:
            changes.append(f"0x{key:04X} U+{forward[key]:04X} removed")
            del forward[key]
    for key, unit in sorted(ROW_OVERRIDES[cp].items()):
        before = forward.get(key)
        if before != unit:
            was = "absent" if before is None else f"U+{before:04X}"
            changes.append(f"0x{key:04X} {was} -> U+{unit:04X}")
        forward[key] = unit
    return {"forward": forward, "source": source, "changes": changes}


def build_from_codec(cp):
    first, last = EXPECTED[cp][0]
    forward = decode_codec(CODEC_SOURCES[cp], first, last)
    return apply_edits(cp, forward, CODEC_SOURCES[cp])


def build_51932(table932):
    forward = {}
    for key, unit in table932["forward"].items():
        row, cell = sjis_to_jis(key >> 8, key & 0xFF)
        forward[((row << 8) | cell) + 0x8080] = unit
    return apply_edits(51932, forward, "932 at JIS row/cell + 0x8080")


def build_2022(table51932):
    forward = {key - 0x8080: unit for key, unit in table51932["forward"].items()}
    return apply_edits(2022, forward, "51932 - 0x8080")


def invert(cp, forward, one_way):
    """The reverse map. A character with several codes must have a line in the one-way data,
    or the generator stops rather than pick one."""
    codes_of = {}
    for key, unit in forward.items():
        codes_of.setdefault(unit, []).append(key)
    reverse = {}
    for unit, codes in codes_of.items():
        require(len(codes) == 1 or any(m.unit == unit for m in one_way),
                f"{cp}: U+{unit:04X} has codes {hexs(sorted(codes))} and {ONE_WAY_DATA} names "
                "none to keep")
        reverse[unit] = codes[0]
    for m in one_way:
        codes = tuple(sorted(codes_of.get(m.unit, ())))
        require(m.decoded_from == codes, f"{cp}: codes [{hexs(codes)}] give U+{m.unit:04X}, "
                                         f"{ONE_WAY_DATA} says [{hexs(m.decoded_from)}]")
        reverse[m.unit] = m.encodes_to
    return reverse


# ---------------------------------------------------------------------------------------------
# Packing and the checks on the packed words


def pack(mapping):
    """Maximal runs of consecutive keys -> (range words, values)."""
    words, values = [], []
    keys = sorted(mapping)
    start = 0
    while start < len(keys):
        end = start
        while end + 1 < len(keys) and keys[end + 1] == keys[end] + 1:
            end += 1
        words += [keys[start], keys[end], len(values)]
        values += [mapping[k] for k in keys[start:end + 1]]
        start = end + 1
    return words, values


def rows_of(words):
    return [tuple(words[i:i + 3]) for i in range(0, len(words), 3)]


def check_invariants(name, words, values):
    require(len(words) % 3 == 0 and words, f"{name}: range array is not whole rows")
    rows = rows_of(words)
    offset = 0
    for index, (first, last, row_offset) in enumerate(rows):
        require(all(0 <= w <= 0xFFFF for w in (first, last, row_offset)),
                f"{name}: row {index} does not fit in u16")
        require(first <= last, f"{name}: row {index} has first > last")
        require(row_offset == offset, f"{name}: row {index} offset {row_offset}, expected {offset}")
        if index > 0:
            require(first > rows[index - 1][1] + 1,
                    f"{name}: row {index} is not sorted or not maximal")
        offset += last - first + 1
    require(offset == len(values), f"{name}: rows cover {offset} keys, {len(values)} values")
    require(all(0 < v <= 0xFFFF for v in values), f"{name}: a value is 0 or wider than u16")


def search(rows, values, key):
    """The library's range search: the value for key, or None for a miss."""
    lo, hi = 0, len(rows) - 1
    if key > rows[hi][1] or key < rows[0][0]:
        return None
    while lo <= hi:
        mid = lo + (hi - lo) // 2
        first, last, offset = rows[mid]
        if key < first:
            hi = mid - 1
        elif key <= last:
            return values[offset + key - first]
        else:
            lo = mid + 1
    return None


# ---------------------------------------------------------------------------------------------
# Table contents that must hold, looked up in the packed tables


def check_forward(t, pairs):
    for key, unit in pairs.items():
        got = search(t["fwd_rows"], t["fwd_values"], key)
        require(got == unit,
                f"{t['cp']}: forward 0x{key:04X} gives {show(got)}, expected U+{unit:04X}")


def check_reverse(t, pairs):
    for unit, code in pairs.items():
        got = search(t["rev_rows"], t["rev_values"], unit)
        require(got == code,
                f"{t['cp']}: reverse U+{unit:04X} gives {show(got)}, expected 0x{code:04X}")


def check_forward_misses(t, keys):
    for key in keys:
        got = search(t["fwd_rows"], t["fwd_values"], key)
        require(got is None, f"{t['cp']}: forward 0x{key:04X} should miss, gives {show(got)}")


def check_reverse_misses(t, units):
    for unit in units:
        got = search(t["rev_rows"], t["rev_values"], unit)
        require(got is None, f"{t['cp']}: reverse U+{unit:04X} should miss, gives {show(got)}")


def check_exact_inverse(t):
    """Every character goes back to its own code, apart from the one-way characters."""
    except_units = {m.unit for m in t["one_way"]}
    for key, unit in t["forward"].items():
        if unit not in except_units:
            got = search(t["rev_rows"], t["rev_values"], unit)
            require(got == key,
                    f"{t['cp']}: U+{unit:04X} goes back to {show(got)}, not 0x{key:04X}")
    require(len(set(t["rev_values"])) == len(t["rev_values"]), f"{t['cp']}: a code is given twice")


def check_keys_in(t, lead_ok, trail_ok):
    for key in t["forward"]:
        require(lead_ok(key >> 8) and trail_ok(key & 0xFF), f"{t['cp']}: stray key 0x{key:04X}")


def check_contents(tables):
    t932, t936, t949, t950, t51932, t2022 = (tables[cp] for cp in ORDER)
    kana = range(0xFF61, 0xFFA0)

    check_keys_in(t932, lambda b: 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xEA,
                  lambda b: 0x40 <= b <= 0xFC and b != 0x7F)
    check_forward(t932, ROW_OVERRIDES[932] | {0x815B: 0x30FC, 0x82A0: 0x3042, 0x889F: 0x4E9C})
    check_forward_misses(t932, (0x0000, 0x0041, 0x00B1, 0x8540, 0x813F, 0xEAA5))
    check_reverse(t932, {0x3042: 0x82A0, 0x4E9C: 0x889F, 0x005C: 0x005C, 0x30FC: 0x815B})
    check_reverse_misses(t932, (0x0000, 0x0041, 0x301C, 0x2212, 0xFF3C, *kana))
    check_exact_inverse(t932)

    check_keys_in(t936, lambda b: 0xA1 <= b <= 0xFE, lambda b: 0xA1 <= b <= 0xFE)
    check_forward(t936, ROW_OVERRIDES[936] | {0xA1CE: 0x2225, 0xB0A1: 0x554A})
    check_reverse(t936, {0x2225: 0xA1AC, 0x554A: 0xB0A1})
    check_reverse_misses(t936, (0x2016, 0xFF5E))
    check_exact_inverse(t936)

    check_forward(t949, {0xA1A4: 0x00B7, 0xA1AA: 0x2015, 0xA1AD: 0x223C, 0xA2A6: 0xFF5E,
                         0xB0A1: 0xAC00, 0x8141: 0xAC02})
    check_forward_misses(t949, ABSENT[949])
    check_reverse(t949, {0xAC00: 0xB0A1, 0xAC02: 0x8141})
    require((0xAC00, 0xD7A3) in [row[:2] for row in t949["rev_rows"]],
            "949: the Hangul syllables U+AC00-U+D7A3 are not one reverse row")
    hangul_additions = [k for k in t949["forward"] if not (k >> 8 >= 0xA1 and k & 0xFF >= 0xA1)]
    require(len(hangul_additions) == 8822, "949: not 8822 codes outside KS X 1001")
    require(all(0xAC00 <= t949["forward"][k] <= 0xD7A3 for k in hangul_additions),
            "949: a code outside KS X 1001 is not a Hangul syllable")
    require(all(k >> 8 <= 0xC6 for k in hangul_additions), "949: a Hangul addition past 0xC6")
    check_exact_inverse(t949)

    check_forward(t950, ROW_OVERRIDES[950] | {0xA440: 0x4E00})
    check_forward_misses(t950, ABSENT[950] + (0xF9D6, 0xF9FE, 0xFEFE))
    check_reverse(t950, {0x4E00: 0xA440, 0x0023: 0xA1CC, 0x0024: 0xA24C, 0x0025: 0xA24D,
                         0x0026: 0xA1CD, 0x002A: 0xA1CE, 0x0040: 0xA24E})
    check_reverse_misses(t950, (0x0041,))
    check_exact_inverse(t950)

    require(len(t51932["forward"]) == len(t932["forward"]), "51932: not 932's characters")
    check_forward(t51932, {0xA1C1: 0x301C, 0xA1C0: 0x005C, 0xA1BC: 0x30FC, 0xA1DD: 0x30FC,
                           0xA4A2: 0x3042, 0xB0A1: 0x4E9C})
    check_reverse(t51932, {0x30FC: 0xA1BC, 0x005C: 0xA1C0})
    check_exact_inverse(t51932)

    check_forward(t2022, {0x215D: 0x2212, 0x2140: 0x005C, 0x213C: 0x30FC, 0x2141: 0x301C})
    check_reverse(t2022, {0x005C: 0x2140, 0x30FC: 0x213C, 0x2212: 0x215D})
    check_exact_inverse(t2022)

    # Python's own EUC-JP and ISO-2022-JP codecs agree with the derived tables everywhere the
    # rows were not changed on purpose, which guards the code arithmetic.
    for cp, table, decode in (
            (51932, t51932, lambda k: bytes((k >> 8, k & 0xFF)).decode("euc_jp")),
            (2022, t2022, lambda k: (b"\x1b$B" + bytes((k >> 8, k & 0xFF))).decode("iso2022_jp"))):
        changed = {jis_of_932(k) + (0x8080 if cp == 51932 else 0) for k in ROW_OVERRIDES[932]}
        changed |= set(ROW_OVERRIDES[cp])
        for key, unit in table["forward"].items():
            if key not in changed:
                require(ord(decode(key)) == unit, f"{cp}: 0x{key:04X} disagrees with its codec")


def jis_of_932(key):
    row, cell = sjis_to_jis(key >> 8, key & 0xFF)
    return (row << 8) | cell


def check_measures(t):
    cp = t["cp"]
    key_range, fwd_rows, fwd_count, rev_rows, rev_count, sizes = EXPECTED[cp]
    keys = sorted(t["forward"])
    require((keys[0], keys[-1]) == key_range,
            f"{cp}: keys 0x{keys[0]:04X}-0x{keys[-1]:04X}, expected {hexs(key_range)}")
    # Everything below is measured on the arrays exactly as they will be written.
    fwd_words, fwd_values, rev_words, rev_values = emitted_arrays(t)
    sizes_written = tuple(len(a) * 2 for a in (fwd_words, fwd_values, rev_words, rev_values))
    require(sizes_written == sizes, f"{cp}: byte sizes {sizes_written}, expected {sizes}")
    if cp in SIZE_WORD_IDS:
        for array in (rev_words, rev_values):
            require(array[0] == (len(array) - 1) * 2, f"{cp}: wrong leading size word")
        rev_words, rev_values = rev_words[1:], rev_values[1:]
    measured = (len(fwd_words) // 3, len(fwd_values), len(rev_words) // 3, len(rev_values))
    require(measured == (fwd_rows, fwd_count, rev_rows, rev_count),
            f"{cp}: rows/values {measured}, expected {(fwd_rows, fwd_count, rev_rows, rev_count)}")
    check_invariants(f"{cp} forward", fwd_words, fwd_values)
    check_invariants(f"{cp} reverse", rev_words, rev_values)


# ---------------------------------------------------------------------------------------------
# Emitting


def emitted_arrays(t):
    """The four arrays as stored: forward ranges, forward values, reverse ranges, values."""
    rev_words, rev_values = list(t["rev_words"]), list(t["rev_values"])
    if t["cp"] in SIZE_WORD_IDS:
        rev_words = [len(rev_words) * 2] + rev_words
        rev_values = [len(rev_values) * 2] + rev_values
    return [t["fwd_words"], t["fwd_values"], rev_words, rev_values]


ARRAY_NAMES = ("kForwardRanges", "kForwardValues", "kReverseRanges", "kReverseValues")
SIZE_NAMES = ("kForwardRangesSize", "kForwardValuesSize", "kReverseRangesSize",
              "kReverseValuesSize")


def banner():
    return [
        f"// GENERATED by {SCRIPT} from {SOURCES} — do not edit.",
        f"// Regenerate: python3 {SCRIPT}",
        "// clang-format off",
    ]


def render_header(tables):
    out = banner() + [
        "//",
        "// Forward tables map lead * 256 + trail to a UTF-16 unit; reverse tables map a UTF-16",
        "// unit to a code (below 0x100: one byte). Layout: codepages/table_types.h. The reverse",
        "// arrays of 51932 and 2022 start with one u16 holding the byte size of the rest of the",
        "// array; their row counts do not count it, their byte sizes do.",
        "#pragma once",
        "",
        "#include <cstdint>",
        "",
        "namespace corvane::tables {",
    ]
    for cp in ORDER:
        t = tables[cp]
        arrays = emitted_arrays(t)
        if cp == 51932:
            out += ["", "// No conversion reads the 51932 and 2022 tables below (both go through "
                        "932); their registry records point at them."]
        out += ["", f"// {cp}: {t['source']}."]
        for line in t["changes"]:
            out.append(f"//   changed: {line}")
        for name, words in (("kForwardRangeCount", t["fwd_words"]),
                            ("kReverseRangeCount", t["rev_words"])):
            out.append(f"inline constexpr std::uint32_t {name}{cp} = {len(words) // 3};")
        for name, array in zip(SIZE_NAMES, arrays):
            out.append(f"inline constexpr std::uint32_t {name}{cp} = {len(array) * 2};")
        for name, array in zip(ARRAY_NAMES, arrays):
            out.append(f"extern const std::uint16_t {name}{cp}[{len(array)}];")
    out += ["", "}  // namespace corvane::tables", ""]
    return "\n".join(out)


def render_words(words, per_line, indent="    "):
    lines = []
    for i in range(0, len(words), per_line):
        lines.append(indent + ", ".join(f"0x{w:04X}" for w in words[i:i + per_line]) + ",")
    return lines


def render_source(tables):
    out = banner() + ['#include "codepages/tables/double_byte_tables.h"', "",
                      "namespace corvane::tables {"]
    for cp in ORDER:
        t = tables[cp]
        for name, array in zip(ARRAY_NAMES, emitted_arrays(t)):
            out += ["", f"const std::uint16_t {name}{cp}[{len(array)}] = {{"]
            body = array
            if cp in SIZE_WORD_IDS and name.startswith("kReverse"):
                out.append(f"    0x{array[0]:04X},  // byte size of the rest of the array")
                body = array[1:]
            # Ranges: four (first, last, offset) rows per line; values: sixteen per line.
            out += render_words(body, 12 if name.endswith("Ranges") else 16)
            out.append("};")
    out += ["", "}  // namespace corvane::tables", ""]
    return "\n".join(out)


def build_tables():
    mappings = read_one_way_mappings()
    tables = {cp: build_from_codec(cp) for cp in CODEC_SOURCES}
    tables[51932] = build_51932(tables[932])
    tables[2022] = build_2022(tables[51932])
    for cp, t in tables.items():
        t["cp"] = cp
        t["one_way"] = [m for m in mappings if m.page == cp]
        t["reverse"] = invert(cp, t["forward"], t["one_way"])
        t["fwd_words"], t["fwd_values"] = pack(t["forward"])
        t["rev_words"], t["rev_values"] = pack(t["reverse"])
        t["fwd_rows"], t["rev_rows"] = rows_of(t["fwd_words"]), rows_of(t["rev_words"])
    for cp in ORDER:
        check_measures(tables[cp])
    check_contents(tables)
    return tables


def run(script, description, build, outputs, out_folder="codepages/tables"):
    """The command line of this generator and of gen_double_byte_index.py, which builds on it.

    build() returns what the files are rendered from, having checked it, or raises TableError or
    DataError; then nothing is written. outputs: (file name, render) pairs, each render given what
    build() returned. Every file is rendered before any is written. out_folder: where the files
    go by default, from the project's root.
    """
    default_out = Path(__file__).resolve().parent.parent / out_folder
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--out", type=Path, default=default_out, help="output folder")
    args = parser.parse_args()
    try:
        built = build()
    except (TableError, DataError) as error:
        print(f"{script}: refusing to write: {error}", file=sys.stderr)
        return 1
    texts = [(name, render(built)) for name, render in outputs]
    args.out.mkdir(parents=True, exist_ok=True)
    for name, text in texts:
        (args.out / name).write_text(text, encoding="utf-8", newline="\n")
    return 0


def main():
    return run(SCRIPT, __doc__.splitlines()[0], build_tables,
               (("double_byte_tables.h", render_header), ("double_byte_tables.cpp", render_source)))


if __name__ == "__main__":
    sys.exit(main())
