#!/usr/bin/env python3
"""Writes the C++ interface's encodings: their tables, their names and their code page numbers.

    python3 tools/gen_standard_tables.py [--out DIR]   (default: <repo>/cxx/tables)

Output (namespace corvane::standard, the format cxx/tables/standard_tables.h describes):
  standard_data.h          the tables' declarations, shared by the files below
  standard_single_byte.cpp every single-byte table, with one pool of encoding pages
  standard_<table>.cpp     one file per double-byte table (and EUC-JP's JIS X 0212, GB18030's
                           four-byte ranges beside the table that needs them)
  standard_names.cpp       kEncodings, kFoldedNames, kCodePageAliases
Byte for byte the same on every run and on every machine with the same Python: CI regenerates
them into a scratch folder and compares.

Where the mappings come from
----------------------------
Every byte's character is Python's own codec's answer (ENCODINGS names the codec): these are the
mappings people mean by the names, the Unicode Consortium's and the national standards' files as
Python carries them. Nothing here edits a codec's answer; the checks below make sure the answers
fit the tables' format and still say what the published mappings say (SAMPLES).

Lead bytes. A double-byte table's lead bytes are the bytes its encoding's syntax makes a lead byte
(LEAD_SYNTAX), not only those that start some defined pair: CP932 has rows with no character at
all (0x85, 0x86, 0xEB, 0xEC, 0xEF), and counting them out would split its lead bytes into five
ranges, which the block kernels cannot rank, while a reader still has to know that 0x85 takes a
trail byte. The generator checks that every byte that starts a defined pair is a lead byte and
that no lead byte is a character by itself. EUC-JP's 0x8F starts a triple, which the JIS X 0212
table decodes; the index holds no block for it.

What the investigation of Python's codecs found (3.11; the checks fail if it changes):
  * No pair of cp932, cp949, cp950, gb18030 or euc_jp decodes to more than one unit or to a
    supplementary character, and no byte decodes to U+FFFD.
  * cp932 decodes 0x80, 0xA0 and 0xFD-0xFF alone (U+0080, U+F8F0, U+F8F1-U+F8F3); kept.
  * Python's iso2022_jp decodes every JIS X 0208 pair after ESC $ B as euc_jp decodes the pair
    with its high bits set, so ISO-2022-JP reads EUC-JP's table.
  * gb18030 gives every BMP unit without a one- or two-byte form a four-byte form whose linear
    index runs on one to one, in ranges broken only by the units that have a two-byte form.

Names
-----
The names are a list written in tools/standard_encodings.py (ENCODINGS), so that the output does not depend on which
glibc happens to be installed: the IANA names and aliases, the names Windows and the web use,
and the names glibc's iconv and Python accept. Where Python's aliases or glibc's gconv-modules
are present, the generator checks the list against them both ways: a name of ours that they
know must mean the same encoding to them (or be settled in SETTLED, with the reason), and every
name they give an encoding must be ours or left out on purpose (OMITTED, with the reason).
A name is found by its folded form: ASCII letters and digits only, letters small.
"""

import codecs
import encodings.aliases
import sys
from pathlib import Path

from gen_double_byte_tables import require, run
from standard_encodings import (CODE_PAGE_ALIASES, ENCODINGS, LATIN_PARTS, MUST_NOT_FIND, OMITTED,
                                REQUIRED, SAME_GLIBC, SAME_PYTHON, SETTLED)

SCRIPT = "tools/gen_standard_tables.py"
SOURCES = "Python's standard codecs"
GCONV = Path("/usr/lib/x86_64-linux-gnu/gconv")

NO_UNIT = 0xFFFD
ELSEWHERE = 0xFFFF


def fold(name):
    return "".join(c.lower() for c in name if c.isascii() and c.isalnum())


# Units Python's encoders write as another unit's bytes: the variants that Microsoft's and JIS's
# tables give different units for (FULLWIDTH CENT SIGN and CENT SIGN, ...), all read back as the
# one the code page decodes to; and EUC-JP's yen sign and overline, written as the ASCII bytes
# that Japanese text has always shown them as. Unit -> the unit its bytes decode to.
ONE_WAY = {
    "cp932": {0x00A2: 0xFFE0, 0x00A3: 0xFFE1, 0x00AC: 0xFFE2, 0x2016: 0x2225, 0x2212: 0xFF0D,
              0x301C: 0xFF5E},
    "cp950": {0x00A2: 0xFFE0, 0x00A3: 0xFFE1, 0x00A5: 0xFFE5, 0x2022: 0x2027, 0x203E: 0x00AF,
              0x223C: 0xFF5E, 0x2609: 0x2299, 0x2641: 0x2295, 0xFF64: 0xFE51},
    "euc_jp": {0x00A5: 0x005C, 0x203E: 0x007E},
}

# Lead bytes by the encoding's syntax: (first range, second range or None).
LEAD_SYNTAX = {
    "kShiftJis": ((0x81, 0x9F), (0xE0, 0xFC)),
    "kEucJp": ((0x8E, 0x8E), (0xA1, 0xFE)),
    "kGb18030": ((0x81, 0xFE), None),
    "kBig5": ((0x81, 0xFE), None),
    "kUhc": ((0x81, 0xFE), None),
}
DOUBLE_BYTE_FILES = {"kShiftJis": "standard_shift_jis.cpp", "kEucJp": "standard_euc_jp.cpp",
                     "kGb18030": "standard_gb18030.cpp", "kBig5": "standard_big5.cpp",
                     "kUhc": "standard_uhc.cpp"}

# Published samples: (codec, bytes, unit or None for no character).
SAMPLES = [
    ("cp1252", b"\x80", 0x20AC), ("iso8859_5", b"\xb0", 0x0410), ("iso8859_15", b"\xa4", 0x20AC),
    ("koi8_r", b"\xc1", 0x0430), ("cp866", b"\x80", 0x0410), ("latin_1", b"\x80", 0x0080),
    ("cp932", b"\x82\xa0", 0x3042), ("cp932", b"\x87\x40", 0x2460),
    ("cp932", b"\xfa\x40", 0x2170), ("euc_jp", b"\xa4\xa2", 0x3042),
    ("euc_jp", b"\x8e\xb1", 0xFF71), ("euc_jp", b"\x8f\xb0\xa1", 0x4E02),
    ("gb18030", b"\xa1\xa1", 0x3000), ("gb18030", b"\xb0\xa1", 0x554A),
    ("gb18030", b"\x81\x30\x81\x30", 0x0080), ("cp949", b"\xb0\xa1", 0xAC00),
    ("cp949", b"\x81\x41", 0xAC02), ("cp950", b"\xa4\x40", 0x4E00), ("ascii", b"\x80", None),
]

# ---------------------------------------------------------------------------------------------
# Reading Python's codecs


def decode(codec, data):
    """The units data decodes to as a whole, or None if it does not."""
    try:
        text = data.decode(codec)
    except UnicodeDecodeError:
        return None
    return [u for c in text for u in ([ord(c)] if ord(c) < 0x10000 else [-ord(c)])]


def decode_one(codec, data, where):
    """The one BMP unit data decodes to, or NO_UNIT; anything else is an error."""
    units = decode(codec, data)
    if units is None:
        return NO_UNIT
    require(len(units) == 1, f"{codec}: {where} decodes to {len(units)} units")
    require(units[0] >= 0, f"{codec}: {where} decodes to a supplementary character")
    require(units[0] != NO_UNIT, f"{codec}: {where} decodes to U+FFFD itself")
    return units[0]


def encode(codec, unit):
    try:
        return chr(unit).encode(codec)
    except UnicodeEncodeError:
        return None


def check_samples():
    for codec, data, unit in SAMPLES:
        got = decode(codec, data)
        expected = None if unit is None else [unit]
        require(got == expected, f"{codec}: {data.hex()} decodes to {got}, expected {expected}")


# ---------------------------------------------------------------------------------------------
# Single-byte tables


codecs.register_error("corvane_zero", lambda e: (b"\x00" * (e.end - e.start), e.end))


def build_single_byte(codec, pool):
    table = [decode_one(codec, bytes((b,)), f"byte 0x{b:02X}") for b in range(256)]
    require(table[0] == 0, f"{codec}: byte 0 is not U+0000")
    # One pass through Python's encoder for the whole BMP: a unit it cannot encode becomes byte
    # 0, which only U+0000 is otherwise, so the output lines up with the units.
    encoded = "".join(map(chr, range(0x10000))).encode(codec, errors="corvane_zero")
    require(len(encoded) == 0x10000, f"{codec}: a unit encodes to more than one byte")
    for unit, b in enumerate(encoded):
        if b or unit == 0:
            require(table[b] == unit, f"{codec}: U+{unit:04X} encodes to 0x{b:02X}, which "
                                      f"decodes to U+{table[b]:04X}")
    for b, unit in enumerate(table):
        if unit != NO_UNIT:
            require(encoded[unit] != 0 or unit == 0, f"{codec}: U+{unit:04X} does not encode")
    page_of = []
    for high in range(256):
        page = bytes(encoded[high * 256:(high + 1) * 256])
        if page not in pool:
            pool[page] = len(pool)
        page_of.append(pool[page])
    return table, page_of


# ---------------------------------------------------------------------------------------------
# Double-byte tables


def lead_bytes(table_id):
    first, second = LEAD_SYNTAX[table_id]
    leads = list(range(first[0], first[1] + 1))
    if second:
        require(second[0] > first[1] + 1, f"{table_id}: lead ranges touch or overlap")
        leads += range(second[0], second[1] + 1)
    return leads


def build_double_byte(table_id, codec):
    leads = lead_bytes(table_id)
    single = [decode_one(codec, bytes((b,)), f"byte 0x{b:02X}") for b in range(256)]
    blocks = [NO_UNIT if b in leads else single[b] for b in range(256)]
    starters = set()
    for b in range(256):
        if single[b] != NO_UNIT:
            continue
        for trail in range(256):
            unit = decode_one(codec, bytes((b, trail)), f"0x{b:02X}{trail:02X}")
            if unit != NO_UNIT:
                starters.add(b)
            if b in leads:
                blocks.append(unit)
    require(starters <= set(leads),
            f"{table_id}: bytes start pairs but are no lead bytes: {sorted(starters - set(leads))}")
    require(all(single[b] == NO_UNIT for b in leads), f"{table_id}: a lead byte decodes alone")
    require(blocks[0] == 0, f"{table_id}: byte 0 is not U+0000")
    # Text in these encodings is read and written with ASCII as it stands.
    require(all(blocks[b] == b for b in range(1, 0x80)), f"{table_id}: does not keep ASCII")

    encode_units = [0] * 0x10000
    one_way = []
    for unit in range(0x10000):
        if 0xD800 <= unit <= 0xDFFF or unit == 0:
            continue
        data = encode(codec, unit)
        if data is None:
            continue
        if len(data) == 1:
            value = data[0]
        elif len(data) == 2:
            value = data[0] | data[1] << 8
            require(data[0] in leads, f"{table_id}: U+{unit:04X} encodes after a non-lead")
        else:
            require((codec, len(data)) in (("gb18030", 4), ("euc_jp", 3)),
                    f"{table_id}: U+{unit:04X} encodes to {data.hex()}")
            value = ELSEWHERE
        require(value != 0, f"{table_id}: U+{unit:04X} encodes to byte 0")
        if value != ELSEWHERE:
            back = decode(codec, data)
            if back != [unit]:
                one_way.append((unit, back))
        encode_units[unit] = value
    require(all(encode_units[u] == u for u in range(1, 0x80)), f"{table_id}: ASCII is not itself")
    expected = ONE_WAY.get(codec, {})
    require(dict(one_way) == {u: [v] for u, v in expected.items()},
            f"{table_id}: units that encode to another unit's bytes: "
            + ", ".join(f"U+{u:04X} -> {back}" for u, back in one_way))
    return leads, blocks, encode_units


def decoded_count(leads, blocks):
    return sum(1 for b in range(256) if blocks[b] != NO_UNIT) + sum(
        1 for u in blocks[256:] if u != NO_UNIT)


def lookup_pair(leads, blocks, lead, trail):
    return blocks[(leads.index(lead) + 1) * 256 + trail]


def build_jis0212(euc_encode):
    decode_units = []
    for row in range(0xA1, 0xFF):
        for cell in range(0xA1, 0xFF):
            decode_units.append(decode_one("euc_jp", bytes((0x8F, row, cell)),
                                           f"0x8F{row:02X}{cell:02X}"))
    pairs = []
    for unit, value in enumerate(euc_encode):
        if value == ELSEWHERE:
            data = encode("euc_jp", unit)
            require(len(data) == 3 and data[0] == 0x8F, f"euc_jp: U+{unit:04X} is {data.hex()}")
            at = (data[1] - 0xA1) * 94 + (data[2] - 0xA1)
            require(decode_units[at] == unit, f"euc_jp: U+{unit:04X} does not come back")
            pairs.append((unit, data[1] << 8 | data[2]))
    return decode_units, pairs


def linear_of(data):
    b1, b2, b3, b4 = data
    return (b1 - 0x81) * 12600 + (b2 - 0x30) * 1260 + (b3 - 0x81) * 10 + (b4 - 0x30)


def build_gb18030_ranges(gb_encode):
    ranges = []  # [first unit, first linear]
    previous = None
    for unit, value in enumerate(gb_encode):
        if value != ELSEWHERE:
            continue
        linear = linear_of(encode("gb18030", unit))
        if previous is None or unit != previous[0] + 1 or linear != previous[1] + 1:
            require(previous is None or linear == previous[1] + 1,
                    f"gb18030: U+{unit:04X}'s linear index {linear} does not follow "
                    f"{previous and previous[1]}")
            ranges.append((unit, linear))
        previous = (unit, linear)
    require(ranges[0] == (0x0080, 0), f"gb18030: the ranges start at {ranges[0]}")
    bmp_end = previous[1] + 1
    # Every linear index below the end decodes, by the ranges, to the unit Python gives it.
    at = 0
    for linear in range(bmp_end):
        while at + 1 < len(ranges) and ranges[at + 1][1] <= linear:
            at += 1
        unit = ranges[at][0] + linear - ranges[at][1]
        data = four_bytes(linear)
        require(decode("gb18030", data) == [unit],
                f"gb18030: linear {linear} ({data.hex()}) is not U+{unit:04X}")
    for code_point, expected in ((0x10000, b"\x90\x30\x81\x30"), (0x10FFFF, None)):
        data = chr(code_point).encode("gb18030")
        require(expected is None or data == expected, f"gb18030: U+{code_point:X} is {data.hex()}")
        require(linear_of(data) == 189000 + code_point - 0x10000,
                f"gb18030: U+{code_point:X} has linear {linear_of(data)}")
    require(decode("gb18030", four_bytes(bmp_end)) is None, "gb18030: the BMP runs on")
    return ranges, bmp_end


def four_bytes(linear):
    b4 = linear % 10
    b3 = linear // 10 % 126
    b2 = linear // 1260 % 10
    b1 = linear // 12600
    return bytes((b1 + 0x81, b2 + 0x30, b3 + 0x81, b4 + 0x30))


def check_iso2022_jp(leads, blocks):
    differences = []
    for row in range(0x21, 0x7F):
        for cell in range(0x21, 0x7F):
            units = decode("iso2022_jp", b"\x1b$B" + bytes((row, cell)))
            got = NO_UNIT if units is None else units[0]
            want = lookup_pair(leads, blocks, row | 0x80, cell | 0x80)
            if got != want or (units is not None and len(units) != 1):
                differences.append(f"{row:02X}{cell:02X}")
    require(not differences, f"iso2022_jp and euc_jp differ at {differences[:8]}")


# ---------------------------------------------------------------------------------------------
# Names


def read_glibc():
    """glibc's iconv names as {NAME: module}, or None where gconv-modules is not installed."""
    files = [GCONV / "gconv-modules"] + sorted((GCONV / "gconv-modules.d").glob("*.conf"))
    files = [f for f in files if f.is_file()]
    if not files:
        return None
    names = {}
    for path in files:
        for line in path.read_text(encoding="utf-8", errors="replace").splitlines():
            words = line.split()
            if len(words) >= 3 and words[0] == "alias":
                names[words[1].rstrip("/").upper()] = words[2].rstrip("/").upper()
            elif len(words) >= 3 and words[0] == "module":
                for word in words[1:3]:
                    word = word.rstrip("/").upper()
                    if word != "INTERNAL":
                        names.setdefault(word, word)
    return names


def python_codec(name):
    try:
        return codecs.lookup(name).name.replace("-", "_")
    except LookupError:
        return None


def build_names():
    index_of = {e[0]: i for i, e in enumerate(ENCODINGS)}
    folded = {}
    names_of = {}
    for i, (name, _, _, _, _, aliases) in enumerate(ENCODINGS):
        names = [name] + aliases.split()
        names_of[name] = aliases.split()
        for n in names:
            key = fold(n)
            require(key, f"{n}: folds to nothing")
            require(key not in folded or folded[key] == i,
                    f"'{n}' folds to '{key}', a name of both {ENCODINGS[folded.get(key, i)][0]} "
                    f"and {name}")
            folded[key] = i

    wanted = {k: v.split() for k, v in REQUIRED.items()}
    for part, iso in LATIN_PARTS.items():
        wanted.setdefault(f"ISO-8859-{iso}", []).append(f"latin{part}")
    for target, names in wanted.items():
        for n in names:
            got = folded.get(fold(n))
            require(got == index_of[target], f"'{n}' finds "
                    f"{None if got is None else ENCODINGS[got][0]}, not {target}")
    for n in MUST_NOT_FIND.split():
        require(fold(n) not in folded,
                f"'{n}' must not find {ENCODINGS[folded.get(fold(n), 0)][0]}")

    check_names_against_python(folded)
    glibc = read_glibc()
    if glibc is not None:
        check_names_against_glibc(folded, glibc)
    return folded, names_of


def python_codecs_of(encoding):
    name, _, _, codec, _, _ = encoding
    own = {codec} if codec else set()
    if name == "GBK":  # reads GB18030's table, but Python's gb18030 names are not GBK's
        own = set()
    return {python_codec(c) for c in own | set(SAME_PYTHON.get(name, "").split())}


def check_names_against_python(folded):
    faults = []
    for i, encoding in enumerate(ENCODINGS):
        accepted = python_codecs_of(encoding)
        for n in [encoding[0]] + encoding[5].split():
            codec = python_codec(n)
            if codec is not None and codec not in accepted and SETTLED.get(fold(n)) != encoding[0]:
                faults.append(f"Python reads '{n}' ({encoding[0]}) as {codec}")
    for alias, codec in sorted(encodings.aliases.aliases.items()) + [
            (c, c) for c in sorted(set(encodings.aliases.aliases.values()))]:
        owners = [e[0] for e in ENCODINGS if python_codec(codec) in python_codecs_of(e)]
        key = fold(alias)
        if owners and key not in folded and key not in OMITTED:
            faults.append(f"Python's '{alias}' ({codec}) is no name of {owners[0]}")
    require(not faults, "names disagree with Python:\n  " + "\n  ".join(faults))


def check_names_against_glibc(folded, glibc):
    faults = []
    for encoding in ENCODINGS:
        accepted = {encoding[0].upper()} | set(SAME_GLIBC.get(encoding[0], "").split())
        for n in [encoding[0]] + encoding[5].split():
            module = glibc.get(n.upper())
            settled = SETTLED.get(fold(n)) == encoding[0]
            if module is not None and module not in accepted and not settled:
                faults.append(f"glibc reads '{n}' ({encoding[0]}) as {module}")
        for glibc_name, module in sorted(glibc.items()):
            key = fold(glibc_name)
            if (module in accepted and key not in folded and key not in OMITTED
                    and not glibc_name.startswith("OSF")):
                faults.append(f"glibc's '{glibc_name}' ({module}) is no name of {encoding[0]}")
    require(not faults, "names disagree with glibc:\n  " + "\n  ".join(faults))


# ---------------------------------------------------------------------------------------------
# Building everything


def build():
    check_samples()
    data = {"single": {}, "pool": {bytes(256): 0}, "double": {}}
    for name, _, family, codec, table_id, _ in ENCODINGS:
        if family == "kSingleByte":
            data["single"][name] = build_single_byte(codec, data["pool"])
        elif table_id and table_id not in data["double"]:
            data["double"][table_id] = build_double_byte(table_id, codec)
    require(len(data["pool"]) <= 256, f"{len(data['pool'])} encoding pages, more than a byte")
    leads, blocks, euc_encode = data["double"]["kEucJp"]
    require(0x8F not in leads and blocks[0x8F] == NO_UNIT, "euc_jp: 0x8F is read as a lead")
    data["jis0212"] = build_jis0212(euc_encode)
    data["ranges"] = build_gb18030_ranges(data["double"]["kGb18030"][2])
    check_iso2022_jp(leads, blocks)
    data["folded"], data["names_of"] = build_names()
    codes = [e[1] for e in ENCODINGS if e[1]]
    require(len(codes) == len(set(codes)), "two encodings share a code page")
    require(not set(codes) & set(CODE_PAGE_ALIASES), "a code page alias is an encoding's own")
    return data


# ---------------------------------------------------------------------------------------------
# Emitting


def banner(counts=()):
    return [f"// GENERATED by {SCRIPT} from {SOURCES} — do not edit.",
            f"// Regenerate: python3 {SCRIPT}", "// clang-format off", *counts]


def words(values, width=4, per_line=16):
    return ["    " + ", ".join(f"0x{v:0{width}X}" for v in values[i:i + per_line]) + ","
            for i in range(0, len(values), per_line)]


def single_index(data):
    return {name: i for i, name in enumerate(data["single"])}


def render_data_header(data):
    out = banner() + [
        "//",
        "// The tables behind kEncodings, shared by the generated files; see standard_tables.h.",
        f"// In all {table_bytes(data)} bytes of tables.",
        "#pragma once", "", '#include "cxx/tables/standard_tables.h"', "",
        "namespace corvane::standard {", "",
        f"extern const SingleByteTable kSingleByteTables[{len(data['single'])}];"]
    for table_id in data["double"]:
        out.append(f"extern const DoubleByteTable {table_id}Table;")
    out += ["extern const Jis0212Table kJis0212Table;",
            "extern const Gb18030Ranges kGb18030Ranges;",
            "", "}  // namespace corvane::standard", ""]
    return "\n".join(out)


def render_single_byte(data):
    counts = [f"// {name}: {sum(u != NO_UNIT for u in table)} characters"
              for name, (table, _) in data["single"].items()]
    out = banner(["//", *counts]) + ['#include "cxx/tables/standard_data.h"', "",
                                    "namespace corvane::standard {", "namespace {"]
    for i, (name, (table, page_of)) in enumerate(data["single"].items()):
        out += ["", f"// {name}", f"constexpr std::uint16_t kDecode{i}[256] = {{"]
        out += words(table) + ["};", f"constexpr std::uint8_t kPageOf{i}[256] = {{"]
        out += words(page_of, 2, 32) + ["};"]
    pages = sorted(data["pool"].items(), key=lambda item: item[1])
    out += ["", f"constexpr std::uint8_t kEncodePages[{len(pages)} * 256] = {{"]
    for page, number in pages:
        out += [f"    // page {number}"] + words(list(page), 2, 32)
    out += ["};", "", "}  // namespace", "",
            f"const SingleByteTable kSingleByteTables[{len(data['single'])}] = {{"]
    for i, (table, _) in enumerate(data["single"].values()):
        keeps = "true" if all(table[b] == b for b in range(1, 0x80)) else "false"
        complete = "true" if NO_UNIT not in table else "false"
        out.append(f"    {{kDecode{i}, kPageOf{i}, kEncodePages, {keeps}, {complete}}},")
    out += ["};", "", "}  // namespace corvane::standard", ""]
    return "\n".join(out)


def render_double_byte(data, table_id):
    leads, blocks, encode_units = data["double"][table_id]
    first, second = LEAD_SYNTAX[table_id]
    second = second or (0xFF, 0x00)
    elsewhere = sum(v == ELSEWHERE for v in encode_units)
    counts = [f"// {decoded_count(leads, blocks)} sequences of one or two bytes decode; "
              f"{sum(v not in (0, ELSEWHERE) for v in encode_units)} units encode to one or two "
              f"bytes" + (f", {elsewhere} to a longer form." if elsewhere else "."),
              "// Lead bytes: " + ", ".join(f"0x{r[0]:02X}-0x{r[1]:02X}"
                                            for r in LEAD_SYNTAX[table_id] if r) + "."]
    out = banner(counts) + ['#include "cxx/tables/standard_data.h"', "",
                            "namespace corvane::standard {", "namespace {", "",
                            f"constexpr std::uint16_t kDecodeUnits[{len(blocks)}] = {{"]
    for number in range(len(blocks) // 256):
        label = "single bytes" if number == 0 else f"lead 0x{leads[number - 1]:02X}"
        out += [f"    // {label}"] + words(blocks[number * 256:(number + 1) * 256])
    # A unit with no form is written as ELSEWHERE too, so that the encoder's fast loop watches
    # for one value only; the family's extra table then has no entry for it.
    written = [0] + [v if v else ELSEWHERE for v in encode_units[1:]]
    out += ["};", "", "constexpr std::uint16_t kEncodeBytes[65536] = {"]
    for high in range(256):
        out += [f"    // U+{high:02X}00"] + words(written[high * 256:(high + 1) * 256])
    out += ["};", ""]
    out += extra_tables(data, table_id)
    out += ["}  // namespace", "",
            f"const DoubleByteTable {table_id}Table = {{",
            f"    {{kDecodeUnits, {{0x{first[0]:02X}, 0x{first[1]:02X}, 0x{second[0]:02X}, "
            f"0x{second[1]:02X}}}}}, kEncodeBytes}};"]
    if table_id == "kEucJp":
        count = len(data["jis0212"][1])
        out.append(f"const Jis0212Table kJis0212Table = {{kJis0212Decode, kJis0212Units, "
                   f"kJis0212Codes, {count}}};")
    if table_id == "kGb18030":
        ranges, end = data["ranges"]
        out.append(f"const Gb18030Ranges kGb18030Ranges = {{kRangeUnits, kRangeLinears, "
                   f"{len(ranges)}, {end}}};")
    out += ["", "}  // namespace corvane::standard", ""]
    return "\n".join(out)


def extra_tables(data, table_id):
    if table_id == "kEucJp":
        decode_units, pairs = data["jis0212"]
        return ([f"// JIS X 0212: {sum(u != NO_UNIT for u in decode_units)} characters, "
                 f"{len(pairs)} of them written as such.",
                 f"constexpr std::uint16_t kJis0212Decode[{94 * 94}] = {{"] + words(decode_units)
                + ["};", f"constexpr std::uint16_t kJis0212Units[{len(pairs)}] = {{"]
                + words([u for u, _ in pairs])
                + ["};", f"constexpr std::uint16_t kJis0212Codes[{len(pairs)}] = {{"]
                + words([c for _, c in pairs]) + ["};", ""])
    if table_id == "kGb18030":
        ranges, _ = data["ranges"]
        return ([f"constexpr std::uint16_t kRangeUnits[{len(ranges)}] = {{"]
                + words([u for u, _ in ranges], 4, 12)
                + ["};", f"constexpr std::uint32_t kRangeLinears[{len(ranges)}] = {{"]
                + words([lin for _, lin in ranges], 5, 12) + ["};", ""])
    return []


def cxx_string(text):
    require(all(c.isascii() and c.isprintable() and c not in '"\\' for c in text),
            f"'{text}' needs escaping")
    return f'"{text}"'


def render_names(data):
    singles = single_index(data)
    out = banner([f"// {len(ENCODINGS)} encodings, {len(data['folded'])} folded names, "
                  f"{len(CODE_PAGE_ALIASES)} code page aliases."])
    out += ['#include "cxx/tables/standard_data.h"', "", "namespace corvane::standard {",
            "namespace {", ""]
    for i, (name, *_rest) in enumerate(ENCODINGS):
        aliases = " ".join(cxx_string(a) + "," for a in data["names_of"][name])
        out.append(f"constexpr const char* kAliases{i}[] = {{{aliases} nullptr}};")
    out += ["", "}  // namespace", "", f"const EncodingRecord kEncodings[] = {{"]
    for i, (name, code_page, family, codec, table_id, _) in enumerate(ENCODINGS):
        single = f"&kSingleByteTables[{singles[name]}]" if name in singles else "nullptr"
        double = f"&{table_id}Table" if table_id else "nullptr"
        jis = "&kJis0212Table" if family == "kEucJp" else "nullptr"
        ranges = "&kGb18030Ranges" if family in ("kGb18030", "kGbk") else "nullptr"
        out.append(f"    {{{cxx_string(name)}, {code_page}, Family::{family}, {single}, "
                   f"{double}, {jis}, {ranges}, kAliases{i}}},")
    out += ["};", f"const std::size_t kEncodingCount = {len(ENCODINGS)};", "",
            "const FoldedName kFoldedNames[] = {"]
    for key in sorted(data["folded"]):
        out.append(f"    {{{cxx_string(key)}, {data['folded'][key]}}},")
    out += ["};", f"const std::size_t kFoldedNameCount = {len(data['folded'])};", "",
            "const CodePageAlias kCodePageAliases[] = {"]
    index_of = {e[0]: i for i, e in enumerate(ENCODINGS)}
    for code_page in sorted(CODE_PAGE_ALIASES):
        out.append(f"    {{{code_page}, {index_of[CODE_PAGE_ALIASES[code_page]]}}},")
    out += ["};", f"const std::size_t kCodePageAliasCount = {len(CODE_PAGE_ALIASES)};", "",
            "}  // namespace corvane::standard", ""]
    return "\n".join(out)


def table_bytes(data):
    total = sum(256 * 2 + 256 for _ in data["single"]) + 256 * len(data["pool"])
    for _, blocks, _ in data["double"].values():
        total += 2 * len(blocks) + 2 * 65536
    decode_units, pairs = data["jis0212"]
    total += 2 * len(decode_units) + 4 * len(pairs) + 6 * len(data["ranges"][0])
    return total


def main():
    outputs = [("standard_data.h", render_data_header),
               ("standard_single_byte.cpp", render_single_byte),
               ("standard_names.cpp", render_names)]
    outputs += [(file_name, lambda data, table_id=table_id: render_double_byte(data, table_id))
                for table_id, file_name in DOUBLE_BYTE_FILES.items()]
    def build_and_count():
        data = build()
        print(f"{SCRIPT}: {table_bytes(data)} bytes of tables")
        return data

    return run(SCRIPT, __doc__.splitlines()[0], build_and_count, outputs, "cxx/tables")


if __name__ == "__main__":
    sys.exit(main())
