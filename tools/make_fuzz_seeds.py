#!/usr/bin/env python3
"""Writes the fuzz targets' seed inputs into tests/fuzz/corpus/<target>/.

Each seed is a short real text cut from ../shared/corpus/ (UTF-8) and encoded with Python's own
codecs, or a hand-made edge case, laid out the way its target reads its input: the text first,
then the target's parameters, which libFuzzer's FuzzedDataProvider takes from the end of the
input (the last parameter read sits next to the text). Run it again after changing what a target
reads; it rewrites the folders from scratch.
"""
import pathlib
import shutil
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent
SHARED = ROOT.parent / "shared" / "corpus"
OUT = ROOT / "tests" / "fuzz" / "corpus"

COUNTED, NUL = 0, 200  # length-mode bytes (see PickLengthMode)


def snippet(lang, start=4000, chars=90):
    text = (SHARED / f"{lang}.txt").read_text(encoding="utf-8")
    return text[start:start + chars]


# Code page, Python codec, corpus text.
PAGES = [
    (932, "cp932", "ja"), (51932, "euc_jp", "ja"), (2022, "iso2022_jp", "ja"),
    (936, "gbk", "zh_cn"), (950, "cp950", "zh_tw"), (949, "cp949", "ko"),
    (1251, "cp1251", "ru"), (20866, "koi8_r", "ru"), (40866, "cp866", "ru"),
    (88595, "iso8859_5", "ru"), (1252, "cp1252", "west"), (88591, "latin_1", "west"),
    (40850, "cp850", "west"), (10000, "mac_roman", "west"), (1250, "cp1250", "west"),
    (65001, "utf-8", "ja"), (2023, "cp932", "ja"), (2023, "iso2022_jp", "ja"),
]


def encoded(codec, lang):
    return snippet(lang).encode(codec, errors="ignore")


def u32(v):
    return struct.pack("<I", v)


def u16(v):
    return struct.pack("<H", v)


def write(target, name, data):
    folder = OUT / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def main():
    shutil.rmtree(OUT, ignore_errors=True)
    for cp, codec, lang in PAGES:
        text = encoded(codec, lang)
        name = f"{cp}-{codec}"
        # text, state, consumed?, cut, length mode, code page
        write("multi_to_wide", name, text + bytes([1, 1]) + u16(37) + bytes([COUNTED]) + u32(cp))
        write("multi_to_wide", name + "-nul",
              text + bytes([2, 0]) + u16(11) + bytes([NUL]) + u32(cp))
        # UTF-16LE text, default character?, cut, length mode, code page
        wide = snippet(lang).encode("utf-16-le")
        write("wide_to_multi", name, wide + bytes([1]) + u16(23) + bytes([COUNTED]) + u32(cp))
    edge = {
        "sjis-lead-at-end": (932, b"\x82\xa0A\x82"),
        "jis-escape-cut": (2022, b"A\x1b$B\x30\x21\r\x1b$"),
        "jis-pair-cut": (2022, b"\x1b$B\x30"),
        "utf8-invalid": (65001, b"a\x80b\xc3\xe2\x82"),
        "utf8-overlong-and-surrogate": (65001, b"\xc0\x80\xed\xa0\xbd\xed\xb8\x80\xf7\xbf\xbf\xbf"),
        "mac-two-units": (10000, b"\xde\xdf"),
        "thai-system-only": (874, b"\xa1\xa2\xa3"),
        "embedded-zero": (1252, b"a\x00b"),
    }
    for name, (cp, text) in edge.items():
        write("multi_to_wide", name, text + bytes([1, 1]) + u16(2) + bytes([COUNTED]) + u32(cp))

    # Two-byte and single-byte characters in turn: ISO-2022-JP switches modes at every one.
    alternating = "\u3000\n" * 40
    for cp in (2022, 51932, 932):
        write("wide_to_multi", f"{cp}-alternating",
              alternating.encode("utf-16-le") + bytes([1]) + u16(23) + bytes([COUNTED]) + u32(cp))

    write_cxx_stream_seeds()


# The C++ interface's streaming target (see tests/fuzz/cxx_stream_fuzz.cpp): the text, then which
# pieces append, the cut pattern, direction, bom, policy and the encoding (a code page number, or
# an index into Encoding::all() for "UTF-16" and "UTF-32", which have none).
REPLACE, SKIP, STRICT = 0, 1, 2
CUTS = 0x0123456789ABCDEF  # every piece size in turn
SMALL_CUTS = 0x5432154321543210  # one or two bytes or units, an empty piece now and then


def cxx_stream(name, text, encoding, decoding, policy=REPLACE, bom=False, cuts=CUTS,
               appending=0x5555):
    params = u16(appending) + struct.pack("<Q", cuts) + bytes([int(decoding), int(bom), policy])
    write("cxx_stream", name, text + params + u32(encoding))


def write_cxx_stream_seeds():
    cxx_pages = [
        (932, "cp932", "ja"), (51932, "euc_jp", "ja"), (50220, "iso2022_jp", "ja"),
        (936, "gbk", "zh_cn"), (54936, "gb18030", "zh_cn"), (950, "big5", "zh_tw"),
        (949, "cp949", "ko"), (20866, "koi8_r", "ru"), (1252, "cp1252", "west"),
        (65001, "utf-8", "ja"), (1200, "utf-16-le", "ja"), (12001, "utf-32-be", "west"),
    ]
    for cp, codec, lang in cxx_pages:
        cxx_stream(f"decode-{cp}-{codec}", encoded(codec, lang), cp, True)
        cxx_stream(f"encode-{cp}-{codec}", snippet(lang).encode("utf-16-le"), cp, False,
                   policy=SKIP, cuts=SMALL_CUTS)
    emoji = "a\U0001F600b\U00020B9F".encode("utf-16-le")
    lone = "x\ud800y\udc00".encode("utf-16-le", errors="surrogatepass")
    edge = [
        ("decode-utf16-bom", "\ufeffab".encode("utf-16-be"), 3, True, REPLACE, True),
        ("decode-utf32-bom", "\ufeffab".encode("utf-32-le"), 6, True, REPLACE, True),
        ("decode-utf8-bom-strict", b"\xef\xbb\xbfa\xe3\x81\x82\xe3", 65001, True, STRICT, True),
        ("decode-jis-escapes", b"A\x1b$B\x30\x21\x1b(J\\\x1b(B\x1b$", 50220, True, SKIP, False),
        ("decode-sjis-strict", b"\x82\xa0A\x82", 932, True, STRICT, False),
        ("decode-gb18030-four", b"\x81\x30\x81\x30\x95\x32\x82\x36", 54936, True, REPLACE, False),
        ("encode-pairs-utf8", emoji, 65001, False, STRICT, True),
        ("encode-pairs-gb18030", emoji, 54936, False, REPLACE, False),
        ("encode-lone-utf16", lone, 3, False, REPLACE, False),
        ("encode-lone-jis", lone + "\u3042".encode("utf-16-le"), 50220, False, STRICT, False),
    ]
    for name, text, encoding, decoding, policy, bom in edge:
        cxx_stream(name, text, encoding, decoding, policy, bom, SMALL_CUTS)


if __name__ == "__main__":
    main()
