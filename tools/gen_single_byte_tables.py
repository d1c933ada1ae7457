#!/usr/bin/env python3
"""Writes the constant tables of the 27 single-byte code pages.

    python3 tools/gen_single_byte_tables.py [--out DIR]

DIR defaults to codepages/tables beside this script. Two files are written there:
single_byte_tables.h (declarations) and single_byte_tables.cpp (data), byte for byte the same on
every run, so that CI can regenerate them into a scratch folder and compare.

Where the characters come from
------------------------------
Every table starts from a published mapping as Python's standard `encodings` package carries it;
those codecs are generated from the Unicode Consortium's mapping files (ISO 8859 parts, the
Microsoft Windows and PC code pages, Apple's ROMAN.TXT, KOI8-R as in RFC 1489). Each table then
takes the shared rules of its family (DOS glyph row, ISO 0x80-0x9F) and the differences this
library defines for it; both are data in TABLES below, not code.

What was checked about the sources (Python 3.11.7, against glibc's charmaps in
/usr/share/i18n/charmaps, which agree with Python on all 26 base mappings at every byte except
the two Macintosh entries named below):
- iso8859_7 is the 2003 edition of ISO/IEC 8859-7: 0xA4 U+20AC, 0xA5 U+20AF, 0xAA U+037A.
- iso8859_8 is the 1999 Unicode file: 0xDF U+2017, 0xFD U+200E, 0xFE U+200F; 0xBF-0xDE
  undefined. Our differences replace 0xDF, 0xFD and 0xFE.
- cp1255 is Unicode's CP1255.TXT: 0xA4 U+20AA, 0xD4-0xD8 U+05F0-U+05F4, and 0xCA undefined.
  Microsoft's later best-fit table gives 0xCA U+05BA; glibc, like Python, leaves it undefined,
  and the published mapping this library follows is the Unicode file, so 0xCA has no character.
- mac_roman is Apple's ROMAN.TXT as Unicode publishes it: 0xC6 U+2206 (glibc: U+0394) and
  0xF0 U+F8FF (glibc: U+E01E). Where the two disagree we follow the Unicode Consortium's file, so
  0xC6 stands for U+2206. 0xF0 has no character in our table either way.
- cp1256 is the fully populated 1998 table (0x81 U+067E ... 0xFF U+06D2); our differences bring
  back the older Latin letters at 0x8A, 0x98, 0x9A, 0x9F, 0xAA, 0xC0 and 0xFF.

The reverse pages are the inverses of the byte tables, with the exceptions that
codepages/one_way_mappings.txt lists: which byte a character with several bytes goes back to,
and characters that encode to a byte standing for something else.

The generator refuses to write (exit status 1, one line per fault) unless the sources still match
the published samples and undefined positions listed in TABLES, the one-way data names exactly
the characters with several bytes and the bytes that stand for them, and the finished tables
satisfy every rule checked in check_tables().
"""

from __future__ import annotations

import argparse
import pathlib
import sys

from gen_one_way_mappings import DataError, OneWayMapping, read_one_way_mappings

SCRIPT = "tools/gen_single_byte_tables.py"
SOURCE_LINE = "Python 3.11 encodings"

# ---------------------------------------------------------------------------------------------
# Data: shared rules, per-table differences, checks.
# A byte's value is None (no character), one code unit, or a tuple of code units.
# ---------------------------------------------------------------------------------------------

# Bytes 0x01-0x1F of the six DOS code pages show the glyphs of the PC character ROM.
DOS_GLYPH_ROW = {
    0x01: 0x263A, 0x02: 0x263B, 0x03: 0x2665, 0x04: 0x2666,
    0x05: 0x2663, 0x06: 0x2660, 0x07: 0x25CF, 0x08: 0x25D8,
    0x09: 0x25CB, 0x0A: 0x25D9, 0x0B: 0x2642, 0x0C: 0x2640,
    0x0D: 0x266A, 0x0E: 0x266C, 0x0F: 0x263C, 0x10: 0x25B8,
    0x11: 0x25C2, 0x12: 0x2195, 0x13: 0x203C, 0x14: None,
    0x15: None, 0x16: 0x2594, 0x17: 0x21A8, 0x18: 0x2191,
    0x19: 0x2193, 0x1A: 0x2192, 0x1B: 0x2190, 0x1C: 0x2319,
    0x1D: 0x2194, 0x1E: 0x25B2, 0x1F: 0x25BC,
}


def none_from(first: int, last: int) -> dict[int, None]:
    """Bytes first..last (inclusive) with no character."""
    return {b: None for b in range(first, last + 1)}


DOS_RULES = {**DOS_GLYPH_ROW, 0xFF: None}
ISO_RULES = none_from(0x80, 0x9F)
ISO_EURO_RULES = {**ISO_RULES, 0x80: 0x20AC}
NO_RULES: dict[int, int | None] = {}

KOI8R_DIFFERENCES = {
    **none_from(0x01, 0x1F),
    0x05: 0x0457, 0x06: 0x040E, 0x08: 0x045E, 0x09: 0x0009, 0x0A: 0x00AB, 0x0B: 0x00BB,
    0x7F: 0x0490,
    **none_from(0x80, 0xBF),
    0x80: 0x0491, 0x81: 0x0404, 0x88: 0x0406, 0x98: 0x0456,
    0xA3: 0x0451, 0xAF: 0x0407, 0xB3: 0x0401, 0xB8: 0x2116,
}

MAC_ROMAN_DIFFERENCES = {
    0xBD: 0x2126, 0xDB: 0x00A4, 0xDE: (0x0066, 0x0069), 0xDF: (0x0066, 0x006C), 0xF0: None,
}

# Applied on top of this library's finished 10000 table, not on a published mapping.
MAC_HEBREW_DIFFERENCES = {
    0x2D: 0x05BE,
    0xC0: (0x05DC, 0x05B9), **none_from(0xC1, 0xC5), 0xC6: 0x05BC,
    0xC7: (0x05D5, 0x05B9), 0xC8: (0x05D5, 0x05BC), 0xCA: None, 0xCB: 0x05B8,
    0xCC: 0x05B4, 0xCD: 0x05B7, 0xCE: 0x05B4, 0xCF: 0x05B4,
    0xD6: (0x05D9, 0x05C1), 0xD7: (0x05D9, 0x05C2),
    **{0xE0 + i: 0x05D0 + i for i in range(27)},  # alef 0xE0 ... tav 0xFA
}

CP1256_DIFFERENCES = {
    0x80: None, 0x81: None, 0x8A: 0x0160, **none_from(0x8D, 0x90), 0x98: 0x02DC, 0x9A: 0x0161,
    0x9D: None, 0x9E: None, 0x9F: 0x0178, 0xAA: 0x00AA, 0xC0: 0x00C0, 0xFF: 0x00FF,
}

CP1255_DIFFERENCES = {
    0x80: None, 0x88: None, 0x98: None, 0xA4: 0x00A4, 0xCE: None, 0xCF: None, 0xD0: None,
    **none_from(0xD3, 0xD8), 0xFD: None, 0xFE: None,
}

# id, name, source (Python codec, or another id of this table list), family rules, differences,
# published samples {byte: unit or None} checked against the source codec, and the bytes
# 0x80-0xFF that the published mapping leaves undefined (checked exactly).
TABLES = [
    dict(id=40866, name="DOS Cyrillic", source="cp866", rules=DOS_RULES,
         differences={0xF9: 0x2022},
         published={0x80: 0x0410, 0xAF: 0x043F, 0xB0: 0x2591, 0xE0: 0x0440, 0xF0: 0x0401,
                    0xF9: 0x2219, 0xFC: 0x2116, 0xFF: 0x00A0},
         holes=()),
    dict(id=40869, name="DOS Greek", source="cp869", rules=DOS_RULES,
         differences={0x8B: 0x0371, 0x8C: 0x0372, 0xEF: 0x03F3, 0xF7: 0x03F5},
         published={0x86: 0x0386, 0x8B: 0x2018, 0x8C: 0x2019, 0xB0: 0x2591, 0xEF: 0x0384,
                    0xF7: 0x0385, 0xFF: 0x00A0},
         holes=(0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x87, 0x93, 0x94)),
    dict(id=88591, name="ISO Latin-1", source="latin_1", rules=ISO_EURO_RULES, differences={},
         published={0x80: 0x0080, 0xA4: 0x00A4, 0xE9: 0x00E9, 0xFF: 0x00FF},
         holes=()),
    dict(id=88592, name="ISO Latin-2", source="iso8859_2", rules=ISO_RULES, differences={},
         published={0xA1: 0x0104, 0xA3: 0x0141, 0xB7: 0x02C7, 0xC8: 0x010C, 0xFF: 0x02D9},
         holes=()),
    dict(id=88593, name="ISO Latin-3", source="iso8859_3", rules=ISO_RULES, differences={},
         published={0xA1: 0x0126, 0xA6: 0x0124, 0xDD: 0x016C, 0xFE: 0x015D},
         holes=(0xA5, 0xAE, 0xBE, 0xC3, 0xD0, 0xE3, 0xF0)),
    dict(id=88594, name="ISO Latin-4", source="iso8859_4", rules=ISO_RULES, differences={},
         published={0xA1: 0x0104, 0xA2: 0x0138, 0xBD: 0x014A, 0xF0: 0x0111},
         holes=()),
    dict(id=88595, name="ISO Cyrillic", source="iso8859_5", rules=ISO_RULES, differences={},
         published={0xA1: 0x0401, 0xB0: 0x0410, 0xF0: 0x2116, 0xFD: 0x00A7, 0xFF: 0x045F},
         holes=()),
    dict(id=88596, name="ISO Arabic", source="iso8859_6", rules=ISO_RULES,
         differences={0x30 + i: 0x0660 + i for i in range(10)},
         published={0x30: 0x0030, 0xAC: 0x060C, 0xBB: 0x061B, 0xBF: 0x061F, 0xC1: 0x0621,
                    0xF2: 0x0652},
         holes=(0xA1, 0xA2, 0xA3, *range(0xA5, 0xAC), *range(0xAE, 0xBB), 0xBC, 0xBD, 0xBE,
                0xC0, *range(0xDB, 0xE0), *range(0xF3, 0x100))),
    dict(id=88597, name="ISO Greek", source="iso8859_7", rules=ISO_RULES,
         differences={0xA1: 0x0371, 0xA2: 0x0372, 0xA4: None, 0xA5: None, 0xAA: None,
                      0xB4: 0x03F3, 0xB5: 0x03F4},
         published={0xA1: 0x2018, 0xA4: 0x20AC, 0xA5: 0x20AF, 0xAA: 0x037A, 0xAF: 0x2015,
                    0xB4: 0x0384, 0xB5: 0x0385, 0xC1: 0x0391},
         holes=(0xAE, 0xD2, 0xFF)),
    dict(id=88598, name="ISO Hebrew", source="iso8859_8", rules=ISO_RULES,
         differences={0x2D: 0x05BE, 0xDF: 0x0333, 0xFD: None, 0xFE: None},
         published={0x2D: 0x002D, 0xAA: 0x00D7, 0xBA: 0x00F7, 0xDF: 0x2017, 0xE0: 0x05D0,
                    0xFA: 0x05EA, 0xFD: 0x200E, 0xFE: 0x200F},
         holes=(0xA1, *range(0xBF, 0xDF), 0xFB, 0xFC, 0xFF)),
    dict(id=88599, name="ISO Latin-5", source="iso8859_9", rules=ISO_RULES, differences={},
         published={0xD0: 0x011E, 0xDD: 0x0130, 0xDE: 0x015E, 0xF0: 0x011F, 0xFD: 0x0131},
         holes=()),
    dict(id=20866, name="KOI8-R", source="koi8_r", rules=NO_RULES,
         differences=KOI8R_DIFFERENCES,
         published={0x80: 0x2500, 0x9A: 0x00A0, 0xA3: 0x0451, 0xB3: 0x0401, 0xBF: 0x00A9,
                    0xC0: 0x044E, 0xC1: 0x0430, 0xFF: 0x042A},
         holes=()),
    dict(id=10008, name="Macintosh Hebrew", source=10000, rules=NO_RULES,
         differences=MAC_HEBREW_DIFFERENCES, published={}, holes=()),
    dict(id=10000, name="Macintosh Roman", source="mac_roman", rules=NO_RULES,
         differences=MAC_ROMAN_DIFFERENCES,
         published={0x80: 0x00C4, 0xA5: 0x2022, 0xBD: 0x03A9, 0xC6: 0x2206, 0xDB: 0x20AC,
                    0xDE: 0xFB01, 0xDF: 0xFB02, 0xF0: 0xF8FF, 0xFF: 0x02C7},
         holes=()),
    dict(id=1256, name="Windows Arabic", source="cp1256", rules=NO_RULES,
         differences=CP1256_DIFFERENCES,
         published={0x80: 0x20AC, 0x81: 0x067E, 0xAA: 0x06BE, 0xC1: 0x0621, 0xF3: 0x064E,
                    0xFF: 0x06D2},
         holes=()),
    dict(id=1251, name="Windows Cyrillic", source="cp1251", rules=NO_RULES,
         differences={0x88: None},
         published={0x80: 0x0402, 0x88: 0x20AC, 0xA8: 0x0401, 0xB9: 0x2116, 0xC0: 0x0410,
                    0xFF: 0x044F},
         holes=(0x98,)),
    dict(id=1250, name="Windows Central European", source="cp1250", rules=NO_RULES,
         differences={0x80: None},
         published={0x80: 0x20AC, 0x8A: 0x0160, 0xA5: 0x0104, 0xC8: 0x010C, 0xFF: 0x02D9},
         holes=(0x81, 0x83, 0x88, 0x90, 0x98)),
    dict(id=1253, name="Windows Greek", source="cp1253", rules=NO_RULES,
         differences={0x80: None},
         published={0x80: 0x20AC, 0xA1: 0x0385, 0xA2: 0x0386, 0xAF: 0x2015, 0xC1: 0x0391,
                    0xFE: 0x03CE},
         holes=(0x81, 0x88, 0x8A, *range(0x8C, 0x91), 0x98, 0x9A, *range(0x9C, 0xA0), 0xAA,
                0xD2, 0xFF)),
    dict(id=1255, name="Windows Hebrew", source="cp1255", rules=NO_RULES,
         differences=CP1255_DIFFERENCES,
         published={0x80: 0x20AC, 0xA4: 0x20AA, 0xCE: 0x05BE, 0xD4: 0x05F0, 0xE0: 0x05D0,
                    0xFD: 0x200E, 0xFE: 0x200F},
         holes=(0x81, 0x8A, *range(0x8C, 0x91), 0x9A, *range(0x9C, 0xA0), 0xCA,
                *range(0xD9, 0xE0), 0xFB, 0xFC, 0xFF)),
    dict(id=1254, name="Windows Turkish", source="cp1254", rules=NO_RULES,
         differences={0x80: None},
         published={0x80: 0x20AC, 0xD0: 0x011E, 0xDD: 0x0130, 0xFD: 0x0131},
         holes=(0x81, *range(0x8D, 0x91), 0x9D, 0x9E)),
    dict(id=1252, name="Windows Western", source="cp1252", rules=NO_RULES,
         differences={0x80: None, 0x8E: None, 0x9E: None},
         published={0x80: 0x20AC, 0x8E: 0x017D, 0x9E: 0x017E, 0x9F: 0x0178, 0xE9: 0x00E9},
         holes=(0x81, 0x8D, 0x8F, 0x90, 0x9D)),
    dict(id=40850, name="DOS Multilingual Latin-1", source="cp850", rules=DOS_RULES,
         differences={0xD5: None, 0xDB: 0x2587, 0xDD: 0x258C},
         published={0x80: 0x00C7, 0x9B: 0x00F8, 0xD5: 0x0131, 0xDB: 0x2588, 0xDD: 0x00A6,
                    0xFF: 0x00A0},
         holes=()),
    dict(id=40852, name="DOS Latin-2", source="cp852", rules=DOS_RULES,
         differences={0xB0: 0x2581, 0xB1: 0x2582, 0xB2: 0x2583, 0xDB: 0x2587},
         published={0x80: 0x00C7, 0xA5: 0x0105, 0xB0: 0x2591, 0xB1: 0x2592, 0xB2: 0x2593,
                    0xDB: 0x2588, 0xFE: 0x25A0},
         holes=()),
    dict(id=40861, name="DOS Icelandic", source="cp861", rules=DOS_RULES,
         differences={0xE1: 0x03B2, 0xE6: 0x03BC, 0xED: 0x2205},
         published={0x8B: 0x00D0, 0x8C: 0x00F0, 0xE1: 0x00DF, 0xE6: 0x00B5, 0xED: 0x03C6},
         holes=()),
    dict(id=40862, name="DOS Hebrew", source="cp862", rules=DOS_RULES,
         differences={0x2D: 0x05BE, 0xE1: 0x03B2, 0xE6: 0x03BC, 0xED: 0x2205},
         published={0x80: 0x05D0, 0x9A: 0x05EA, 0xE1: 0x00DF, 0xE6: 0x00B5, 0xED: 0x03C6},
         holes=()),
    dict(id=28605, name="ISO Latin-9", source="iso8859_15", rules=ISO_EURO_RULES,
         differences={},
         published={0xA4: 0x20AC, 0xA6: 0x0160, 0xBC: 0x0152, 0xBE: 0x0178},
         holes=()),
    dict(id=1257, name="Windows Baltic", source="cp1257", rules=NO_RULES, differences={},
         published={0x80: 0x20AC, 0xA8: 0x00D8, 0xC0: 0x0104, 0xD0: 0x0160, 0xFF: 0x02D9},
         holes=(0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90, 0x98, 0x9A, 0x9C, 0x9F, 0xA1, 0xA5)),
]

# The only entries of more than one unit, in any table.
MULTI_UNIT_ENTRIES = {
    (10000, 0xDE): (0x0066, 0x0069),
    (10000, 0xDF): (0x0066, 0x006C),
    (10008, 0xC0): (0x05DC, 0x05B9),
    (10008, 0xC7): (0x05D5, 0x05B9),
    (10008, 0xC8): (0x05D5, 0x05BC),
    (10008, 0xD6): (0x05D9, 0x05C1),
    (10008, 0xD7): (0x05D9, 0x05C2),
    (10008, 0xDE): (0x0066, 0x0069),
    (10008, 0xDF): (0x0066, 0x006C),
}

ALL = "every"
FORWARD = "byte"  # (id, FORWARD, byte, units)   units: () for no character
REVERSE = "unit"  # (id, REVERSE, unit, byte)    byte: None for no byte

# The behaviours a user would notice first; each must hold before anything is written.
EDGE_CASES = [
    (40852, FORWARD, 0x41, (0x0041,)), (40852, REVERSE, 0x0041, 0x41),
    (40852, FORWARD, 0x01, (0x263A,)), (40852, FORWARD, 0xFE, (0x25A0,)),
    (40852, FORWARD, 0xFF, ()),
    (ALL, REVERSE, 0x0000, 0x00), (ALL, FORWARD, 0x00, ()),
    (88591, FORWARD, 0x80, (0x20AC,)), (88591, REVERSE, 0x20AC, 0x80),
    *((88591, FORWARD, b, ()) for b in range(0x81, 0xA0)),
    (28605, FORWARD, 0x80, (0x20AC,)), (28605, FORWARD, 0xA4, (0x20AC,)),
    (28605, REVERSE, 0x20AC, 0xA4),
    (10000, FORWARD, 0xDE, (0x0066, 0x0069)), (10000, REVERSE, 0xFB01, None),
    (10000, REVERSE, 0x2126, 0xBD), (10000, REVERSE, 0x03A9, None),
    (10008, FORWARD, 0xCC, (0x05B4,)), (10008, FORWARD, 0xCE, (0x05B4,)),
    (10008, FORWARD, 0xCF, (0x05B4,)), (10008, REVERSE, 0x05B4, 0xCC),
    (40866, FORWARD, 0x0A, (0x25D9,)), (40866, REVERSE, 0x25D9, 0x0A),
    (40866, REVERSE, 0x000A, None),
    (20866, FORWARD, 0x0A, (0x00AB,)), (20866, REVERSE, 0x00AB, 0x0A),
    (20866, FORWARD, 0x0D, ()),
    (88596, FORWARD, 0x30, (0x0660,)), (88596, REVERSE, 0x0030, 0x30),
    (88596, REVERSE, 0x0660, 0x30),
    (1256, FORWARD, 0xF3, (0x064E,)), (1256, REVERSE, 0x064E, 0xF3),
    (1255, REVERSE, 0x05BE, 0xCE), (1255, FORWARD, 0xCE, ()),
    (88598, FORWARD, 0x2D, (0x05BE,)), (88598, REVERSE, 0x002D, None),
    *((ALL, REVERSE, c, None) for c in (0x0800, 0x1FFF, 0x27FF, 0x2800, 0xFFFF)),
]

LOW_WINDOW = range(0x0000, 0x0800)
HIGH_WINDOW = range(0x2000, 0x2800)
PAGE_SIZE = 2048


# ---------------------------------------------------------------------------------------------
# Building.
# ---------------------------------------------------------------------------------------------

class Refusal(Exception):
    """A fact did not hold; nothing may be written."""


def as_units(value) -> tuple[int, ...]:
    if value is None:
        return ()
    if isinstance(value, int):
        return (value,)
    return tuple(value)


def decode_published(codec: str) -> list[tuple[int, ...]]:
    """The codec's character for each byte, () where the mapping leaves the byte undefined."""
    entries = []
    for b in range(256):
        try:
            text = bytes([b]).decode(codec)
        except UnicodeDecodeError:
            text = ""
        entries.append(tuple(ord(ch) for ch in text))
    return entries


def check_published(page_rules: dict, published: list[tuple[int, ...]]) -> list[str]:
    faults = []
    for b, unit in sorted(page_rules["published"].items()):
        if published[b] != as_units(unit):
            faults.append(f"{page_rules['source']} byte 0x{b:02X} is {fmt(published[b])}, "
                          f"the published mapping says {fmt(as_units(unit))}")
    holes = [b for b in range(0x80, 0x100) if not published[b]]
    if holes != sorted(page_rules["holes"]):
        faults.append(f"{page_rules['source']} leaves {hexlist(holes)} undefined, the published "
                      f"mapping leaves {hexlist(sorted(page_rules['holes']))}")
    return faults


def build_byte_table(page_rules: dict, finished: dict[int, list]) -> list[tuple[int, ...]]:
    source = page_rules["source"]
    entries = list(finished[source]) if isinstance(source, int) else decode_published(source)
    for overrides in (page_rules["rules"], page_rules["differences"]):
        for b, value in overrides.items():
            entries[b] = as_units(value)
    entries[0x00] = ()  # byte 0x00 stands for no character in every table
    return entries


def build_pages(table_id: int, entries: list[tuple[int, ...]],
                one_way: list[OneWayMapping]) -> list[int]:
    """Both reverse pages as one list of 4096 bytes: page 0, then page 1."""
    pages = [0] * (2 * PAGE_SIZE)
    chosen = {m.unit: m.encodes_to for m in one_way if m.decoded_from}
    for b in range(0x01, 0x100):
        units = entries[b]
        if len(units) != 1:
            continue
        slot = page_slot(units[0])
        if slot is None:
            raise Refusal(f"{table_id}: byte 0x{b:02X} gives U+{units[0]:04X}, outside both "
                          "reverse windows")
        if pages[slot] and units[0] not in chosen:
            raise Refusal(f"{table_id}: U+{units[0]:04X} comes from bytes 0x{pages[slot]:02X} "
                          f"and 0x{b:02X} and the one-way data names none to keep")
        pages[slot] = chosen.get(units[0], b)
    for m in one_way:
        if m.decoded_from:
            continue
        slot = page_slot(m.unit)
        if slot is None or m.encodes_to > 0xFF:
            raise Refusal(f"{table_id}: one-way U+{m.unit:04X} cannot go to 0x{m.encodes_to:02X}")
        if pages[slot]:
            raise Refusal(f"{table_id}: byte 0x{pages[slot]:02X} stands for U+{m.unit:04X}, which "
                          "the one-way data says no byte does")
        pages[slot] = m.encodes_to
    return pages


def page_slot(unit: int) -> int | None:
    if unit in LOW_WINDOW:
        return unit
    if unit in HIGH_WINDOW:
        return PAGE_SIZE + unit - HIGH_WINDOW.start
    return None


def wide_to_byte(pages: list[int], unit: int) -> int | None:
    """The reverse lookup as the converter performs it: the byte, or None for no byte."""
    slot = page_slot(unit)
    b = pages[slot] if slot is not None else 0
    return b if (unit == 0 or b) else None


# ---------------------------------------------------------------------------------------------
# Checking the finished tables.
# ---------------------------------------------------------------------------------------------

def check_tables(tables: dict[int, tuple[list, list[int]]],
                 one_way: dict[int, list[OneWayMapping]]) -> list[str]:
    faults = []
    ids = list(tables)

    for case_id, direction, key, expected in EDGE_CASES:
        for table_id in ids if case_id == ALL else [case_id]:
            entries, pages = tables[table_id]
            if direction == FORWARD:
                got = entries[key]
                if got != expected:
                    faults.append(f"{table_id}: byte 0x{key:02X} stands for {fmt(got)}, "
                                  f"expected {fmt(expected)}")
            else:
                got = wide_to_byte(pages, key)
                if got != expected:
                    faults.append(f"{table_id}: U+{key:04X} gives {fmt_byte(got)}, "
                                  f"expected {fmt_byte(expected)}")

    multi = {(t, b): e for t in ids for b, e in enumerate(tables[t][0]) if len(e) > 1}
    if multi != MULTI_UNIT_ENTRIES:
        faults.append(f"entries of more than one unit differ from the nine named: "
                      f"{sorted(set(multi.items()) ^ set(MULTI_UNIT_ENTRIES.items()))}")

    for table_id, (entries, pages) in tables.items():
        if entries[0]:
            faults.append(f"{table_id}: byte 0x00 has a character")
        if any(0 in e for e in entries):
            faults.append(f"{table_id}: an entry carries a 0 unit")
        faults += check_reverse(table_id, entries, pages, one_way[table_id])

    # In 1257 every byte windows-1257 defines must survive a round trip unchanged.
    entries, pages = tables[1257]
    for b, units in enumerate(decode_published("cp1257")[1:], start=1):
        if units and (entries[b] != units or wide_to_byte(pages, units[0]) != b):
            faults.append(f"1257: byte 0x{b:02X} does not round-trip through U+{units[0]:04X}")
    return faults


def check_reverse(table_id: int, entries: list, pages: list[int],
                  one_way: list[OneWayMapping]) -> list[str]:
    """The pages must be exactly the inverse rule: one byte per character, named exceptions."""
    faults = []
    sources: dict[int, list[int]] = {}
    for b in range(0x01, 0x100):
        if len(entries[b]) == 1:
            sources.setdefault(entries[b][0], []).append(b)
    named = {m.unit: m for m in one_way if m.decoded_from}
    expected = [0] * (2 * PAGE_SIZE)
    shared = {}
    for unit, bytes_ in sources.items():
        slot = page_slot(unit)
        if slot is None:
            faults.append(f"{table_id}: U+{unit:04X} lies outside both reverse windows")
            continue
        if len(bytes_) > 1:
            shared[unit] = bytes_
        expected[slot] = named[unit].encodes_to if unit in named else bytes_[0]
    if set(shared) != set(named):
        faults.append(f"{table_id}: characters with several bytes {sorted(shared)} differ from "
                      f"those the one-way data names {sorted(named)}")
    for unit, m in named.items():
        if m.decoded_from != tuple(shared.get(unit, ())):
            faults.append(f"{table_id}: bytes {hexlist(shared.get(unit, ()))} stand for "
                          f"U+{unit:04X}, the one-way data says {hexlist(m.decoded_from)}")
        if m.encodes_to not in m.decoded_from:
            faults.append(f"{table_id}: byte 0x{m.encodes_to:02X} kept for U+{unit:04X} does not "
                          "stand for it")
    for m in one_way:
        if not m.decoded_from:
            expected[page_slot(m.unit)] = m.encodes_to
    if pages != expected:
        slot = next(i for i in range(len(pages)) if pages[i] != expected[i])
        faults.append(f"{table_id}: reverse slot {slot} holds 0x{pages[slot]:02X}, "
                      f"the inverse rule gives 0x{expected[slot]:02X}")
    return faults


# ---------------------------------------------------------------------------------------------
# Writing.
# ---------------------------------------------------------------------------------------------

def banner() -> list[str]:
    return [
        f"// GENERATED by {SCRIPT} from {SOURCE_LINE} — do not edit.",
        f"// Regenerate: python3 {SCRIPT}",
        "// clang-format off",
        "// Bases: the Unicode Consortium mapping files as Python's encodings package carries",
        "// them, with the shared rules and per-table differences listed in the generator.",
    ]


def render_header(specs: list[dict]) -> str:
    lines = banner() + [
        "#pragma once",
        "",
        '#include "codepages/table_types.h"',
        "",
        "namespace corvane::tables {",
        "",
    ]
    for page_rules in specs:
        t = page_rules["id"]
        lines += [
            f"// {t}: {page_rules['name']}",
            f"extern const ByteToWideTable kByteToWide{t};",
            f"extern const WideToBytePage kLowPage{t};",
            f"extern const WideToBytePage kHighPage{t};",
        ]
    lines += ["", "}  // namespace corvane::tables", ""]
    return "\n".join(lines)


def render_source(specs: list[dict], tables: dict[int, tuple[list, list[int]]]) -> str:
    lines = banner() + [
        '#include "codepages/tables/single_byte_tables.h"',
        "",
        "namespace corvane::tables {",
    ]
    for page_rules in specs:
        t = page_rules["id"]
        entries, pages = tables[t]
        base = page_rules["source"] if isinstance(page_rules["source"], str) else f"table {page_rules['source']}"
        lines += ["", f"// {t}: {page_rules['name']} (base: {base})"]
        lines.append(f"const ByteToWideTable kByteToWide{t} = {{")
        for first in range(0, 256, 4):
            cells = []
            for b in range(first, first + 4):
                units = list(entries[b]) + [0] * (3 - len(entries[b]))
                cells.append(",".join(f"0x{u:04X}" for u in units))
            lines.append(f"  {',  '.join(cells)},  // 0x{first:02X}")
        lines.append("};")
        for name, start, page in (("kLowPage", 0x0000, pages[:PAGE_SIZE]),
                                  ("kHighPage", 0x2000, pages[PAGE_SIZE:])):
            lines += render_page(f"{name}{t}", start, page)
    lines += ["", "}  // namespace corvane::tables", ""]
    return "\n".join(lines)


def render_page(name: str, start: int, page: list[int]) -> list[str]:
    # Trailing rows of zeros are left to aggregate initialisation, which zero-fills them.
    used = max((i for i, b in enumerate(page) if b), default=-1) + 1
    rows = (used + 15) // 16
    lines = [f"const WideToBytePage {name} = {{"]
    for row in range(rows):
        values = ",".join(f"0x{b:02X}" for b in page[row * 16:row * 16 + 16])
        lines.append(f"  {values},  // U+{start + row * 16:04X}")
    lines.append(f"  // U+{start + rows * 16:04X}-U+{start + PAGE_SIZE - 1:04X}: 0")
    lines.append("};")
    return lines


# ---------------------------------------------------------------------------------------------

def fmt(units: tuple[int, ...]) -> str:
    return " ".join(f"U+{u:04X}" for u in units) if units else "no character"


def fmt_byte(b: int | None) -> str:
    return "no byte" if b is None else f"byte 0x{b:02X}"


def hexlist(values) -> str:
    return "[" + " ".join(f"{v:02X}" for v in values) + "]"


def main() -> int:
    default_out = pathlib.Path(__file__).resolve().parent.parent / "codepages" / "tables"
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=pathlib.Path, default=default_out,
                        help="folder to write the two files into (default: %(default)s)")
    args = parser.parse_args()

    try:
        mappings = read_one_way_mappings()
    except DataError as error:
        print(f"{SCRIPT}: refusing to write: {error}", file=sys.stderr)
        return 1
    one_way = {t["id"]: [m for m in mappings if m.page == t["id"]] for t in TABLES}

    faults: list[str] = []
    finished: dict[int, list] = {}
    tables: dict[int, tuple[list, list[int]]] = {}
    # Macintosh Hebrew is built on the finished 10000 table, so build in dependency order.
    for page_rules in sorted(TABLES, key=lambda s: isinstance(s["source"], int)):
        if isinstance(page_rules["source"], str):
            faults += check_published(page_rules, decode_published(page_rules["source"]))
        entries = build_byte_table(page_rules, finished)
        finished[page_rules["id"]] = entries
        try:
            pages = build_pages(page_rules["id"], entries, one_way[page_rules["id"]])
            tables[page_rules["id"]] = (entries, pages)
        except Refusal as refusal:
            faults.append(str(refusal))
    if len(tables) == len(TABLES):
        faults += check_tables(tables, one_way)
    if len({page_rules["id"] for page_rules in TABLES}) != 27 or len(TABLES) != 27:
        faults.append("the table list must hold 27 distinct code pages")
    if faults:
        for fault in faults:
            print(f"{SCRIPT}: {fault}", file=sys.stderr)
        print(f"{SCRIPT}: refusing to write, {len(faults)} fault(s)", file=sys.stderr)
        return 1

    args.out.mkdir(parents=True, exist_ok=True)
    for name, text in (("single_byte_tables.h", render_header(TABLES)),
                       ("single_byte_tables.cpp", render_source(TABLES, tables))):
        (args.out / name).write_bytes(text.encode("utf-8"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
