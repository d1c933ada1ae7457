"""Real text for the encoding detector: what its models learn from and what it is measured on.

The text is the translation catalogues Debian installs under /usr/share/locale (UI strings) and
the benchmark corpus beside the repository (manual pages and documentation). A catalogue belongs
to the test half or the training half by its domain name alone, so one program's strings never
sit on both sides, whatever the language. Lines of the benchmark corpus train only, and a line
that some test catalogue also holds is left out (the CJK corpus files hold catalogues too).

Used by gen_detect_models.py (the training half) and make_detect_samples.py (the test half).
"""

import gettext
import pathlib
import zlib

LOCALE_DIR = pathlib.Path("/usr/share/locale")
CORPUS_DIR = pathlib.Path(__file__).resolve().parents[2] / "shared" / "corpus"

# The languages each detected encoding carries, by locale directory; the first is the one its
# samples come from when several could.
LANGUAGES = {
    "windows-1250": ["cs", "pl", "hu", "sk", "sl", "hr"],
    "windows-1251": ["ru", "uk", "bg", "be", "mk"],
    "KOI8-R": ["ru"],
    "IBM866": ["ru"],
    "ISO-8859-5": ["ru", "bg", "mk"],
    "windows-1252": ["de", "fr", "es", "it", "pt", "nl", "sv", "da", "nb", "fi"],
    "windows-1253": ["el"],
    "windows-1254": ["tr"],
    "windows-1255": ["he"],
    "windows-1256": ["ar", "fa"],
    "windows-1257": ["lt", "lv", "et"],
    "Shift_JIS": ["ja"],
    "EUC-JP": ["ja"],
    "ISO-2022-JP": ["ja"],
    "GBK": ["zh_CN"],
    "Big5": ["zh_TW"],
    "EUC-KR": ["ko"],
}
# Python's codec for each, as the library's tables read it.
CODECS = {
    "windows-1250": "cp1250", "windows-1251": "cp1251", "KOI8-R": "koi8_r", "IBM866": "cp866",
    "ISO-8859-5": "iso8859_5", "windows-1252": "cp1252", "windows-1253": "cp1253",
    "windows-1254": "cp1254", "windows-1255": "cp1255", "windows-1256": "cp1256",
    "windows-1257": "cp1257", "Shift_JIS": "cp932", "EUC-JP": "euc_jp",
    "ISO-2022-JP": "iso2022_jp", "GBK": "gbk", "Big5": "cp950", "EUC-KR": "cp949",
    "UTF-8": "utf-8", "UTF-16LE": "utf-16-le", "UTF-16BE": "utf-16-be", "US-ASCII": "ascii",
}
# The benchmark corpus file that holds each language, where there is one.
CORPUS_FILES = {"ja": "ja.txt", "ko": "ko.txt", "ru": "ru.txt", "zh_CN": "zh_cn.txt",
                "zh_TW": "zh_tw.txt", "de": "west.txt", "fr": "west.txt"}
# Every language any encoding above carries: UTF-8 and UTF-16 samples cycle through them.
ALL_LANGUAGES = sorted({lang for langs in LANGUAGES.values() for lang in langs})


# The test catalogues, by domain, as this machine has them: the samples are these and no others,
# so that installing a package with translations of its own changes neither the samples nor the
# models, which leave the lines of these out of their training text.
TEST_DOMAINS = frozenset((
    "avahi bash bfd diffutils gdk-pixbuf git gnucobol gnutls30 iso_3166-2 iso_3166_2 libidn2 "
    "pg_amcheck-15 pg_config-15 pg_rewind-15 pg_verifybackup-15 plpgsql-15 polkit-1 postgres-15 "
    "psql-15 python-apt sed tar xkeyboard-config").split())


def is_test_domain(domain):
    """Whether a catalogue domain (the file name without .mo) is held out for testing."""
    return zlib.crc32(domain.encode()) % 4 == 0


def _catalogue(path):
    with open(path, "rb") as f:
        try:
            catalogue = gettext.GNUTranslations(f)._catalog
        except (OSError, UnicodeDecodeError, IndexError, ValueError):  # a broken header
            return []
    return [(msgid, msgstr) for msgid, msgstr in sorted(catalogue.items(), key=lambda kv: str(kv[0]))
            if msgid and isinstance(msgstr, str) and msgstr]


def catalogue_strings(lang, split, domains=None):
    """The translated strings of `lang`'s catalogues in `split` ("train" or "test"), in a fixed
    order, without the catalogue headers; only those of `domains` when given."""
    strings = []
    for path in sorted((LOCALE_DIR / lang / "LC_MESSAGES").glob("*.mo")):
        if is_test_domain(path.stem) != (split == "test"):
            continue
        if domains is not None and path.stem not in domains:
            continue
        strings.extend(msgstr for _, msgstr in _catalogue(path))
    return strings


def english_strings(split, domains=None):
    """The English source strings (message ids) of the catalogues in `split` that are pure ASCII."""
    seen, strings = set(), []
    for path in sorted((LOCALE_DIR / "de" / "LC_MESSAGES").glob("*.mo")):
        if is_test_domain(path.stem) != (split == "test"):
            continue
        if domains is not None and path.stem not in domains:
            continue
        for msgid, _ in _catalogue(path):
            text = msgid if isinstance(msgid, str) else msgid[0]
            if text.isascii() and text not in seen:
                seen.add(text)
                strings.append(text)
    return strings


_held_out = {}


def held_out_lines(lang, domains=None):
    """Every line of `lang`'s test catalogues (of `domains` when given), stripped."""
    key = (lang, domains)
    if key not in _held_out:
        _held_out[key] = {line.strip() for s in catalogue_strings(lang, "test", domains)
                          for line in s.splitlines() if line.strip()}
    return _held_out[key]


def corpus_lines(lang, test_domains=None):
    """Training lines of the benchmark corpus for `lang`, without any line a test catalogue of
    that language holds."""
    name = CORPUS_FILES.get(lang)
    if name is None or not (CORPUS_DIR / name).exists():
        return []
    held_out = held_out_lines(lang, test_domains)
    lines = (CORPUS_DIR / name).read_text(encoding="utf-8").splitlines()
    return [line for line in lines if line.strip() and line.strip() not in held_out]


def training_text(lang, domains=None, test_domains=None):
    """Everything `lang` trains on, one string per message or line; of the catalogues, only
    those of `domains` when given (a generator that must give the same result on a machine
    with more packages installed names them, and the test catalogues it keeps apart from them
    too). Programs share strings ("Show this help"), so a line that a test catalogue also holds
    is taken out of every training string: no sample is measured on a line the models saw."""
    held_out = held_out_lines(lang, test_domains)
    strings = []
    for s in catalogue_strings(lang, "train", domains):
        kept = "\n".join(line for line in s.splitlines() if line.strip() not in held_out)
        if kept.strip():
            strings.append(kept)
    return strings + corpus_lines(lang, test_domains)


def encodable(strings, codec):
    """The strings `codec` can hold whole."""
    kept = []
    for s in strings:
        try:
            s.encode(codec)
        except UnicodeEncodeError:
            continue
        kept.append(s)
    return kept


def test_text(encoding):
    """Held-out text for samples of `encoding`, as one string."""
    codec = CODECS[encoding]
    if encoding == "US-ASCII":
        return "\n".join(english_strings("test", TEST_DOMAINS))
    if encoding in LANGUAGES:
        langs = LANGUAGES[encoding]
        strings = [s for lang in langs for s in catalogue_strings(lang, "test", TEST_DOMAINS)]
        return "\n".join(encodable(strings, codec))
    # UTF-8 and UTF-16: every language, a stretch of each in turn.
    per_lang = [catalogue_strings(lang, "test", TEST_DOMAINS) for lang in ALL_LANGUAGES]
    mixed, i = [], 0
    while any(per_lang):
        for strings in per_lang:
            mixed.extend(strings[i:i + 20])
        i += 20
        if all(i >= len(s) for s in per_lang):
            break
    return "\n".join(mixed)


def cut(text, start, size, codec):
    """The longest stretch of `text` from character `start` whose encoding fits in `size` bytes,
    encoded."""
    lo, hi = 0, min(len(text) - start, size)
    while lo < hi:
        mid = (lo + hi + 1) // 2
        if len(text[start:start + mid].encode(codec)) <= size:
            lo = mid
        else:
            hi = mid - 1
    return text[start:start + lo].encode(codec)


def samples(encoding, size, count):
    """`count` held-out samples of `encoding`, each cut at a character boundary to at most `size`
    bytes, their starts spread evenly over the text."""
    codec = CODECS[encoding]
    text = test_text(encoding)
    if not text:
        return []
    span = max(1, len(text) - 1)
    out = []
    for k in range(count):
        start = (k * span) // count
        piece = cut(text, start, size, codec)
        if piece:
            out.append(piece)
    return out
