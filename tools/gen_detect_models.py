#!/usr/bin/env python3
"""Writes the encoding detector's models from real text.

    python3 tools/gen_detect_models.py [--out DIR]

DIR defaults to detect/models beside this script. Two files are written there, detect_models.h
(the model shapes) and detect_models.cpp (the data), byte for byte the same on every run, so
that CI can regenerate them into a scratch folder and compare.

Where the numbers come from
---------------------------
The text is the training half of tools/detect_corpus.py: translation catalogues installed on
this machine and the benchmark corpus. Nothing from the test half is read. Where an encoding
carries several languages, each language weighs the same, so a big catalogue of German does not
drown out Danish.

- Single-byte encodings: every character of the language but the ASCII non-letters (spaces,
  digits, punctuation, which every candidate reads alike) is folded to small letters; the 61
  commonest become classes 1 to 61, the rest class 62 ("rare"), the ASCII non-letters class 0.
  A model is the cost of each class following each other (a smoothed conditional bigram), the
  class of each byte in its encoding, and the cost of each byte's letter case.
- Double-byte encodings: the cost of each of the commonest characters, a cost for any other
  character the encoding has, and where its characters lie (lead and trail ranges of the pairs
  that decode).
- UTF-16: the cost of each high byte of a unit, over all the languages.

A cost is -log2 of a probability, times SCALE, rounded; 255 means "no character". Bigram costs
are coarser, in steps of LEVEL_STEP bits.

The mapping of bytes to characters is Python's codec for each encoding, as detect_corpus.CODECS
names it. The generator refuses to write (exit status 1, a line per fault) unless the models
have the shapes the detector expects, the total stays small, and each language's commonest
letters are where its text puts them (checked against SAMPLES below).
"""

import argparse
import collections
import functools
import math
import pathlib
import re
import sys

import detect_corpus

SCALE = 8  # cost units per bit
WORD = re.compile(r"[^\W\d_]+")
IMPOSSIBLE = 255
CLASSES = 64
RARE_CLASS = 62
TOP_SINGLE = 61
TOP_DOUBLE = 1000
# A bigram cost is stored as one digit of LEVEL_DIGITS, each step LEVEL_STEP bits, so that a
# model's 4096 of them stay a few kilobytes of source.
LEVEL_DIGITS = "0123456789ABCDEFGHIJKLMNOPQRSTUV"
LEVEL_STEP = 0.75
MAX_BYTES = 200_000

SINGLE_BYTE = ["windows-1250", "windows-1251", "KOI8-R", "IBM866", "ISO-8859-5", "windows-1252",
               "windows-1253", "windows-1254", "windows-1255", "windows-1256", "windows-1257"]
DOUBLE_BYTE = ["Shift_JIS", "EUC-JP", "GBK", "Big5", "EUC-KR"]

# Letters the training text must rank among its commonest: a model that misses them has read
# the wrong text or the wrong codec.
SAMPLES = {
    "windows-1250": "áíé", "windows-1251": "оеа", "KOI8-R": "оеан", "IBM866": "оеан",
    "ISO-8859-5": "оеа", "windows-1252": "éä", "windows-1253": "αοετ", "windows-1254": "ıüş",
    "windows-1255": "יוה", "windows-1256": "اين", "windows-1257": "ėąš",
    "Shift_JIS": "のをす", "EUC-JP": "のをす", "GBK": "的件文", "Big5": "的檔用",
    "EUC-KR": "다이니",
}


def cost(p):
    return min(IMPOSSIBLE - 1, max(1, round(-math.log2(p) * SCALE)))


def fold(ch):
    low = ch.lower()
    return low if len(low) == 1 else ch


def language_weights(strings_by_lang):
    """Each language's strings with a weight that gives every language the same total."""
    sizes = {lang: sum(map(len, strings)) for lang, strings in strings_by_lang.items()}
    return [(strings, 1.0 / sizes[lang]) for lang, strings in strings_by_lang.items()
            if sizes[lang]]


# The training catalogues, by domain: the models must come out the same after a package that
# brings translations of its own is installed, so they read these and no others. A domain that
# is missing stops the generator: the machine is not the one the models were made on.
TRAINING_DOMAINS = (
    "Linux-PAM PackageKit adduser appstream apt at-spi2-core binutils coreutils dglobals-3.2.2 "
    "dpkg dpkg-dev elfutils findutils fpdoc-3.2.2 fpdocmk-3.2.2 gas gettext-runtime "
    "gettext-tools glib20 gnupg2 gold gprof grep gsettings-desktop-schemas gstreamer-1.0 gtk20 "
    "gtk20-properties initdb-15 iso_15924 iso_3166 iso_3166-1 iso_3166-3 iso_4217 iso_639 "
    "iso_639-2 iso_639-3 iso_639-5 iso_639_3 iso_639_5 ld libapt-pkg6.0 libc libpq5-15 make "
    "makeskel-3.2.2 man-db man-db-gnulib mit-krb5 net-tools opcodes pg_archivecleanup-15 "
    "pg_basebackup-15 pg_checksums-15 pg_controldata-15 pg_ctl-15 pg_dump-15 pg_resetwal-15 "
    "pg_test_fsync-15 pg_test_timing-15 pg_upgrade-15 pg_waldump-15 pgscripts-15 procps-ng "
    "psmisc shadow shared-mime-info software-properties systemd wget wget-gnulib xdg-user-dirs "
    "xz").split()


def missing_domains():
    present = {path.stem for lang in detect_corpus.ALL_LANGUAGES
               for path in (detect_corpus.LOCALE_DIR / lang / "LC_MESSAGES").glob("*.mo")}
    return sorted((set(TRAINING_DOMAINS) | detect_corpus.TEST_DOMAINS) - present)


@functools.lru_cache(maxsize=None)
def training_text(lang):
    return detect_corpus.training_text(lang, frozenset(TRAINING_DOMAINS), detect_corpus.TEST_DOMAINS)


def ascii_word_cost(weighted):
    """The cost of a word of ASCII letters among the language's words (runs of letters): what
    the language pays for each word of English, or of code, among its own. Counted in words,
    not letters, since a text that has one such word tends to have it in every line."""
    ascii_words = words = 0.0
    for strings, w in weighted:
        for s in strings:
            for word in WORD.findall(s):
                words += w
                ascii_words += w * word.isascii()
    return cost(max(ascii_words, words * 1e-4) / words)


def training(encoding):
    codec = detect_corpus.CODECS[encoding]
    return {lang: detect_corpus.encodable(training_text(lang), codec)
            for lang in detect_corpus.LANGUAGES[encoding]}


def is_gap(ch):
    return ch < "\x80" and not ch.isalpha()


def byte_char(b, codec):
    """The character byte b stands for alone, or None."""
    try:
        ch = bytes([b]).decode(codec)
    except UnicodeDecodeError:
        return None
    if len(ch) != 1 or ch == "\0" or "\x80" <= ch <= "\x9f":
        return None  # no text holds NUL or C1 controls
    return ch


def decodes_to_text(seq, codec):
    """Whether seq is one character that text uses: not a C1 control, not private use."""
    try:
        ch = seq.decode(codec)
    except UnicodeDecodeError:
        return False
    return len(ch) == 1 and not ("\x80" <= ch <= "\x9f" or "\ue000" <= ch <= "\uf8ff")


def single_byte_model(encoding, faults):
    codec = detect_corpus.CODECS[encoding]
    weighted = language_weights(training(encoding))
    freq = collections.Counter()
    for strings, w in weighted:
        for s in strings:
            for ch in s:
                if not is_gap(ch):
                    freq[fold(ch)] += w
    top = [ch for ch, _ in sorted(freq.items(), key=lambda kv: (-kv[1], kv[0]))[:TOP_SINGLE]]
    cls = {ch: i + 1 for i, ch in enumerate(top)}

    def class_of(ch):
        return 0 if is_gap(ch) else cls.get(fold(ch), RARE_CLASS)

    pairs = [[0.0] * CLASSES for _ in range(CLASSES)]
    case = collections.Counter()
    rare = collections.Counter()
    for strings, w in weighted:
        for s in strings:
            prev = 0
            for ch in s:
                c = class_of(ch)
                pairs[prev][c] += w
                prev = c
                if ch.lower() != ch.upper():
                    case[fold(ch), ch == fold(ch)] += w
                if c == RARE_CLASS:
                    rare[fold(ch)] += w
            pairs[prev][0] += w
    # Class 62 stands for every rare character at once; which one it is costs on top, by its
    # share of them (smoothed: a letter the language never uses is still possible, barely).
    rare_chars = {fold(ch) for b in range(0x80, 0x100)
                  if (ch := byte_char(b, codec)) and class_of(ch) == RARE_CLASS}
    rare_total = sum(rare[f] for f in rare_chars)
    rare_alpha = rare_total * 2e-3 + 1e-12
    pair_cost = []
    for a in range(CLASSES):
        total = sum(pairs[a])
        row = []
        for b in range(CLASSES):
            alpha = total * 2e-4 + 1e-9
            p = (pairs[a][b] + alpha) / (total + alpha * CLASSES)
            c = -math.log2(p)
            row.append(LEVEL_DIGITS[min(len(LEVEL_DIGITS) - 1, max(1, round(c / LEVEL_STEP)))])
        pair_cost.append(row)
    byte_class, case_cost = [], []
    for b in range(256):
        ch = byte_char(b, codec)
        if ch is None:
            byte_class.append(IMPOSSIBLE)
            case_cost.append(0)
            continue
        byte_class.append(class_of(ch))
        f = fold(ch)
        bits = 0.0
        if b >= 0x80 and ch.lower() != ch.upper():
            both = case[f, True] + case[f, False]
            bits += -math.log2((case[f, ch == f] + both * 1e-3 + 1e-12) / (both * 1.002 + 2e-12))
        if b >= 0x80 and class_of(ch) == RARE_CLASS:
            bits += -math.log2((rare[f] + rare_alpha) / (rare_total + rare_alpha * len(rare_chars)))
        case_cost.append(min(IMPOSSIBLE - 1, round(bits * SCALE)))
    want = SAMPLES[encoding]
    if not all(ch in top[:40] for ch in want):
        faults.append(f"{encoding}: {want!r} not all among the 40 commonest letters {top[:40]!r}")
    return {"encoding": encoding, "byte_class": byte_class, "case_cost": case_cost,
            "pair_cost": pair_cost, "top": top, "ascii_cost": ascii_word_cost(weighted)}


def double_byte_model(encoding, faults):
    codec = detect_corpus.CODECS[encoding]
    weighted = language_weights(training(encoding))
    freq = collections.Counter()
    for strings, w in weighted:
        for s in strings:
            for ch in s:
                if ch >= "\x80":
                    freq[ch] += w
    total = sum(freq.values())
    ranked = sorted(freq.items(), key=lambda kv: (-kv[1], kv[0]))
    top = [(ch, n) for ch, n in ranked if len(ch.encode(codec)) == 2][:TOP_DOUBLE]
    # The pairs that decode, as runs of trail bytes under each lead byte, and the lone high bytes.
    single = [IMPOSSIBLE] * 256
    ranges = []
    defined = 0
    for lead in range(0x80, 0x100):
        if decodes_to_text(bytes([lead]), codec):
            single[lead] = 0
            continue
        run = None
        for trail in range(0x40, 0x100):
            ok = decodes_to_text(bytes([lead, trail]), codec)
            defined += ok
            if ok and run is None:
                run = trail
            if not ok and run is not None:
                ranges.append((lead, run, trail - 1))
                run = None
        if run is not None:
            ranges.append((lead, run, 0xFF))
    covered = sum(n for _, n in top)
    rare_cost = cost(max(total - covered, total * 0.01) / total / max(1, defined - len(top)))
    lone = {b: cost(max(freq.get(bytes([b]).decode(codec), 0), total * 1e-5) / total)
            for b in range(0x80, 0x100) if single[b] == 0}
    for b, c in lone.items():
        single[b] = c
    # How often a character of the script has an ASCII letter right beside it, one side counted
    # at a time: seldom in CJK text, and often where code page text is read as double bytes.
    sides = touching = 0.0
    for strings, w in weighted:
        for s in strings:
            for k, ch in enumerate(s):
                if ch < "\x80":
                    continue
                for near in (s[k - 1] if k else " ", s[k + 1] if k + 1 < len(s) else " "):
                    sides += w
                    touching += w * (near < "\x80" and near.isalpha())
    letter_cost = cost(max(touching, sides * 1e-4) / sides)
    # A lead byte cut off by the end of a text still stands for a character: as much as the lead
    # byte of an average character says (the entropy of the lead bytes).
    leads = collections.Counter()
    for ch, n in freq.items():
        encoded = ch.encode(codec, errors="ignore")
        if len(encoded) >= 2:
            leads[encoded[0]] += n
    lead_total = sum(leads.values())
    cut_bits = -sum(n / lead_total * math.log2(n / lead_total) for n in leads.values())
    three_byte_lead = 0
    if encoding == "EUC-JP":
        three_byte_lead = 0x8F  # JIS X 0212, which no catalogue here uses: rare
    codes = [int.from_bytes(ch.encode(codec), "big") for ch, _ in top]
    costs = [cost(n / total) for _, n in top]
    want = SAMPLES[encoding]
    chars = [ch for ch, _ in top[:40]]
    if not all(ch in chars for ch in want):
        faults.append(f"{encoding}: {want!r} not all among the 40 commonest {''.join(chars)!r}")
    if len(set(codes)) != len(codes):
        faults.append(f"{encoding}: two characters share a code")
    return {"encoding": encoding, "single": single, "ranges": ranges, "codes": codes,
            "costs": costs, "rare_cost": rare_cost, "three_byte_lead": three_byte_lead,
            "ascii_cost": ascii_word_cost(weighted), "letter_cost": letter_cost,
            "cut_cost": round(cut_bits * SCALE)}


def utf16_model():
    freq = collections.Counter()
    for lang in detect_corpus.ALL_LANGUAGES:
        strings = training_text(lang)
        size = sum(map(len, strings))
        for s in strings:
            for ch in s:
                if ord(ch) < 0x10000:
                    freq[ord(ch) >> 8] += 1.0 / size
                else:
                    freq[0xD8] += 1.0 / size
    total = sum(freq.values())
    # A high byte no training text had still stands for characters: as likely as a rare one.
    return [cost(max(freq[b], total * 1e-6) / total) if b not in (0xDC, 0xDD, 0xDE, 0xDF)
            else cost(max(freq[0xD8], total * 1e-6) / total) for b in range(256)]


def rows(values, per_line, fmt="{}"):
    out = []
    for i in range(0, len(values), per_line):
        out.append("  " + ",".join(fmt.format(v) for v in values[i:i + per_line]) + ",")
    return out


HEADER = """\
// GENERATED by tools/gen_detect_models.py from the training text of tools/detect_corpus.py
// Regenerate: python3 tools/gen_detect_models.py
// clang-format off
// How the detector reads text: costs are -log2 of a probability times kScale; 255 means the
// encoding has no character there.
#pragma once

#include <cstdint>

namespace corvane::detection::models {{

inline constexpr int kScale = {scale};
inline constexpr std::uint8_t kImpossible = {impossible};
inline constexpr int kClasses = {classes};
inline constexpr char kLevelDigits[] = "{digits}";
inline constexpr int kLevelCost = {level_cost};

// A single-byte encoding and the language it carries: class 0 the ASCII non-letters, 1 to 61 the
// commonest letters and signs folded to small letters, 62 the others.
struct SingleByteModel {{
  const char* encoding;
  std::uint8_t asciiWordCost;  // each word of ASCII letters
  std::uint8_t byteClass[256];
  // What a byte's character costs beyond its class: a capital where small letters are usual (or
  // the reverse), and for class 62, which of the rare characters it is.
  std::uint8_t letterCost[256];
  // [class before][class after], row by row, each a digit of kLevelDigits: kLevelCost apiece.
  const char* pairLevels;
}};
inline constexpr int kSingleByteModels = {single_count};
extern const SingleByteModel kSingleByte[kSingleByteModels];

// The trail bytes [lo, hi] that make a character after `lead`.
struct PairRange {{
  std::uint8_t lead, lo, hi;
}};

// A double-byte encoding: its commonest characters (codes, lead byte first, with their costs),
// every other character at rareCost, lone high bytes at loneCost.
struct DoubleByteModel {{
  const char* encoding;
  std::uint8_t asciiWordCost;  // each word of ASCII letters
  std::uint8_t loneCost[256];  // a high byte that is a character by itself
  const PairRange* ranges;
  int rangeCount;
  const std::uint16_t* codes;
  const std::uint8_t* costs;
  int codeCount;
  std::uint8_t rareCost;
  std::uint8_t letterBesideCost;  // for each side of a character an ASCII letter touches
  std::uint8_t cutCost;  // a character cut off by the end of the text
  std::uint8_t threeByteLead;  // a lead byte followed by two trail bytes (0: none)
}};
inline constexpr int kDoubleByteModels = {double_count};
extern const DoubleByteModel kDoubleByte[kDoubleByteModels];

// A UTF-16 unit by its high byte, over every language.
extern const std::uint8_t kUtf16HighByteCost[256];

}}  // namespace corvane::detection::models
"""


def write_source(single, double, utf16):
    lines = ["// GENERATED by tools/gen_detect_models.py from the training text of"
             " tools/detect_corpus.py",
             "// Regenerate: python3 tools/gen_detect_models.py", "// clang-format off",
             '#include "detect/models/detect_models.h"', "",
             "namespace corvane::detection::models {", ""]
    for m in double:
        name = m["encoding"].replace("-", "_")
        lines.append(f"static const PairRange k{name}Ranges[] = {{")
        lines += rows([f"{{0x{a:02X},0x{b:02X},0x{c:02X}}}" for a, b, c in m["ranges"]], 8)
        lines.append("};")
        lines.append(f"static const std::uint16_t k{name}Codes[] = {{")
        lines += rows(m["codes"], 16, "0x{:04X}")
        lines.append("};")
        lines.append(f"static const std::uint8_t k{name}Costs[] = {{")
        lines += rows(m["costs"], 32)
        lines.append("};")
        lines.append("")
    lines.append("const SingleByteModel kSingleByte[kSingleByteModels] = {")
    for m in single:
        lines.append(f'  {{"{m["encoding"]}", {m["ascii_cost"]},  // {"".join(m["top"][:30])}')
        lines.append("   {")
        lines += rows(m["byte_class"], 32)
        lines.append("   }, {")
        lines += rows(m["case_cost"], 32)
        lines.append("   },")
        for row in m["pair_cost"]:
            lines.append('   "' + "".join(row) + '"')
        lines.append("  },")
    lines.append("};")
    lines.append("")
    lines.append("const DoubleByteModel kDoubleByte[kDoubleByteModels] = {")
    for m in double:
        name = m["encoding"].replace("-", "_")
        lines.append(f'  {{"{m["encoding"]}", {m["ascii_cost"]}, {{')
        lines += rows(m["single"], 32)
        lines.append(f"   }}, k{name}Ranges, {len(m['ranges'])}, k{name}Codes, k{name}Costs, "
                     f"{len(m['codes'])}, {m['rare_cost']}, {m['letter_cost']}, {m['cut_cost']}, "
                     f"0x{m['three_byte_lead']:02X}}},")
    lines.append("};")
    lines.append("")
    lines.append("const std::uint8_t kUtf16HighByteCost[256] = {")
    lines += rows(utf16, 32)
    lines.append("};")
    lines.append("")
    lines.append("}  // namespace corvane::detection::models")
    return "\n".join(lines) + "\n"


def main():
    default_out = pathlib.Path(__file__).resolve().parent.parent / "detect" / "models"
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=pathlib.Path, default=default_out,
                        help="folder to write the two files into (default: %(default)s)")
    args = parser.parse_args()
    faults = []
    if held_out := [d for d in TRAINING_DOMAINS if detect_corpus.is_test_domain(d)]:
        print(f"held-out catalogues named for training: {' '.join(held_out)}", file=sys.stderr)
        return 1
    if trained := [d for d in detect_corpus.TEST_DOMAINS if not detect_corpus.is_test_domain(d)]:
        print(f"training catalogues named as held out: {' '.join(trained)}", file=sys.stderr)
        return 1
    if missing := missing_domains():
        print(f"training catalogues missing: {' '.join(missing)}", file=sys.stderr)
        return 1
    single = [single_byte_model(e, faults) for e in SINGLE_BYTE]
    double = [double_byte_model(e, faults) for e in DOUBLE_BYTE]
    utf16 = utf16_model()
    if utf16[0x00] >= min(utf16[0x04], utf16[0x4E]):
        faults.append("UTF-16: U+00xx is not the commonest block")
    for m in single:
        if len(m["byte_class"]) != 256 or any(len(r) != CLASSES for r in m["pair_cost"]):
            faults.append(f"{m['encoding']}: wrong shape")
        if any(m["byte_class"][b] != 0 for b in range(0x20, 0x41)):
            faults.append(f"{m['encoding']}: ASCII signs are not all class 0")
    header = HEADER.format(scale=SCALE, impossible=IMPOSSIBLE, classes=CLASSES,
                           single_count=len(single), double_count=len(double),
                           digits=LEVEL_DIGITS, level_cost=round(LEVEL_STEP * SCALE))
    source = write_source(single, double, utf16)
    if len(header) + len(source) > MAX_BYTES:
        faults.append(f"the models take {len(header) + len(source)} bytes, over {MAX_BYTES}")
    if faults:
        for fault in faults:
            print(fault, file=sys.stderr)
        return 1
    args.out.mkdir(parents=True, exist_ok=True)
    (args.out / "detect_models.h").write_text(header, encoding="utf-8")
    (args.out / "detect_models.cpp").write_text(source, encoding="utf-8")
    print(f"detect_models: {len(single)} single-byte, {len(double)} double-byte models, "
          f"{len(header) + len(source)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
