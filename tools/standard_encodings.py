"""The C++ interface's encodings and the names that find them: data for gen_standard_tables.py.

Kept apart from the generator so that a name can be added without reading the table code. The
generator checks everything here against Python's aliases and glibc's gconv-modules.
"""

# ---------------------------------------------------------------------------------------------
# The encodings, in the order `corvane list` shows them.
# (preferred name, Windows code page, family, Python codec, table id, other names)
# Codec None: no table. Table id: the C++ name of a double-byte table, shared where two
# encodings read the same one.
# ---------------------------------------------------------------------------------------------

ENCODINGS = [
    ("UTF-8", 65001, "kUtf8", None, None, "UTF8 csUTF8 unicode-1-1-utf-8 cp65001"),
    ("UTF-16LE", 1200, "kUtf16Le", None, None, "UTF16LE csUTF16LE"),
    ("UTF-16BE", 1201, "kUtf16Be", None, None, "UTF16BE csUTF16BE unicodeFFFE"),
    ("UTF-16", 0, "kUtf16", None, None, "UTF16 csUTF16"),
    ("UTF-32LE", 12000, "kUtf32Le", None, None, "UTF32LE csUTF32LE"),
    ("UTF-32BE", 12001, "kUtf32Be", None, None, "UTF32BE csUTF32BE"),
    ("UTF-32", 0, "kUtf32", None, None, "UTF32 csUTF32"),
    ("US-ASCII", 20127, "kSingleByte", "ascii", None,
     "ASCII ANSI_X3.4-1968 ANSI_X3.4-1986 iso-ir-6 ISO_646.irv:1991 ISO646-US us IBM367 cp367 "
     "csASCII 646"),
    ("ISO-8859-1", 28591, "kSingleByte", "latin_1", None,
     "8859_1 ISO_8859-1:1987 iso-ir-100 ISO_8859-1 latin1 l1 IBM819 CP819 csISOLatin1"),
    ("ISO-8859-2", 28592, "kSingleByte", "iso8859_2", None,
     "8859_2 ISO_8859-2:1987 iso-ir-101 ISO_8859-2 latin2 l2 csISOLatin2 IBM912 CP912"),
    ("ISO-8859-3", 28593, "kSingleByte", "iso8859_3", None,
     "8859_3 ISO_8859-3:1988 iso-ir-109 ISO_8859-3 latin3 l3 csISOLatin3"),
    ("ISO-8859-4", 28594, "kSingleByte", "iso8859_4", None,
     "8859_4 ISO_8859-4:1988 iso-ir-110 ISO_8859-4 latin4 l4 csISOLatin4"),
    ("ISO-8859-5", 28595, "kSingleByte", "iso8859_5", None,
     "8859_5 ISO_8859-5:1988 iso-ir-144 ISO_8859-5 cyrillic csISOLatinCyrillic IBM915 CP915"),
    ("ISO-8859-6", 28596, "kSingleByte", "iso8859_6", None,
     "8859_6 ISO_8859-6:1987 iso-ir-127 ISO_8859-6 ECMA-114 arabic csISOLatinArabic IBM1089 "
     "CP1089"),
    ("ISO-8859-7", 28597, "kSingleByte", "iso8859_7", None,
     "8859_7 ISO_8859-7:1987 ISO_8859-7:2003 iso-ir-126 ISO_8859-7 ELOT_928 ECMA-118 greek greek8 "
     "csISOLatinGreek IBM813 CP813"),
    ("ISO-8859-8", 28598, "kSingleByte", "iso8859_8", None,
     "8859_8 ISO_8859-8:1988 iso-ir-138 ISO_8859-8 hebrew csISOLatinHebrew IBM916 CP916"),
    ("ISO-8859-9", 28599, "kSingleByte", "iso8859_9", None,
     "8859_9 ISO_8859-9:1989 iso-ir-148 ISO_8859-9 latin5 l5 csISOLatin5 ECMA-128 TS-5881 "
     "IBM920 CP920"),
    ("ISO-8859-10", 28600, "kSingleByte", "iso8859_10", None,
     "ISO_8859-10:1992 iso-ir-157 ISO_8859-10 latin6 l6 csISOLatin6"),
    ("ISO-8859-11", 28601, "kSingleByte", "iso8859_11", None, "ISO_8859-11 ISO_8859-11:2001 thai"),
    ("ISO-8859-13", 28603, "kSingleByte", "iso8859_13", None,
     "ISO_8859-13 iso-ir-179 latin7 l7 csISO885913 baltic"),
    ("ISO-8859-14", 28604, "kSingleByte", "iso8859_14", None,
     "ISO_8859-14:1998 iso-ir-199 ISO_8859-14 latin8 l8 iso-celtic csISO885914"),
    ("ISO-8859-15", 28605, "kSingleByte", "iso8859_15", None,
     "ISO_8859-15 ISO_8859-15:1998 iso-ir-203 latin9 latin-9 l9 csISO885915"),
    ("ISO-8859-16", 28606, "kSingleByte", "iso8859_16", None,
     "ISO_8859-16:2001 iso-ir-226 ISO_8859-16 latin10 l10 csISO885916"),
    ("windows-874", 874, "kSingleByte", "cp874", None, "cp874 IBM874 874 cswindows874"),
    ("windows-1250", 1250, "kSingleByte", "cp1250", None, "cp1250 1250 cswindows1250 MS-EE"),
    ("windows-1251", 1251, "kSingleByte", "cp1251", None, "cp1251 1251 cswindows1251 MS-CYRL"),
    ("windows-1252", 1252, "kSingleByte", "cp1252", None, "cp1252 1252 cswindows1252 MS-ANSI"),
    ("windows-1253", 1253, "kSingleByte", "cp1253", None, "cp1253 1253 cswindows1253 MS-GREEK"),
    ("windows-1254", 1254, "kSingleByte", "cp1254", None, "cp1254 1254 cswindows1254 MS-TURK"),
    ("windows-1255", 1255, "kSingleByte", "cp1255", None, "cp1255 1255 cswindows1255 MS-HEBR"),
    ("windows-1256", 1256, "kSingleByte", "cp1256", None, "cp1256 1256 cswindows1256 MS-ARAB"),
    ("windows-1257", 1257, "kSingleByte", "cp1257", None,
     "cp1257 1257 cswindows1257 WINBALTRIM"),
    ("windows-1258", 1258, "kSingleByte", "cp1258", None, "cp1258 1258 cswindows1258"),
    ("IBM437", 437, "kSingleByte", "cp437", None, "cp437 437 csPC8CodePage437"),
    ("IBM737", 737, "kSingleByte", "cp737", None, "cp737 737"),
    ("IBM775", 775, "kSingleByte", "cp775", None, "cp775 775 csPC775Baltic"),
    ("IBM850", 850, "kSingleByte", "cp850", None, "cp850 850 csPC850Multilingual"),
    ("IBM852", 852, "kSingleByte", "cp852", None, "cp852 852 csPCp852"),
    ("IBM855", 855, "kSingleByte", "cp855", None, "cp855 855 csIBM855"),
    ("IBM857", 857, "kSingleByte", "cp857", None, "cp857 857 csIBM857"),
    ("IBM858", 858, "kSingleByte", "cp858", None,
     "IBM00858 CCSID00858 CP00858 cp858 858 PC-Multilingual-850+euro csIBM00858 csIBM858 "
     "csPC858Multilingual"),
    ("IBM860", 860, "kSingleByte", "cp860", None, "cp860 860 csIBM860"),
    ("IBM861", 861, "kSingleByte", "cp861", None, "cp861 861 cp-is csIBM861 CPIBM861"),
    ("IBM862", 862, "kSingleByte", "cp862", None, "cp862 862 csPC862LatinHebrew DOS-862"),
    ("IBM863", 863, "kSingleByte", "cp863", None, "cp863 863 csIBM863"),
    ("IBM864", 864, "kSingleByte", "cp864", None, "cp864 864 csIBM864"),
    ("IBM865", 865, "kSingleByte", "cp865", None, "cp865 865 csIBM865"),
    ("IBM866", 866, "kSingleByte", "cp866", None, "cp866 866 csIBM866"),
    ("IBM869", 869, "kSingleByte", "cp869", None, "cp869 869 cp-gr csIBM869"),
    ("IBM037", 37, "kSingleByte", "cp037", None,
     "cp037 037 ebcdic-cp-us ebcdic-cp-ca ebcdic-cp-wt ebcdic-cp-nl csIBM037 IBM039"),
    ("IBM500", 500, "kSingleByte", "cp500", None,
     "cp500 500 ebcdic-cp-be ebcdic-cp-ch csIBM500"),
    ("IBM875", 875, "kSingleByte", "cp875", None, "cp875 875 EBCDIC-Greek x-EBCDIC-Greek"),
    ("IBM1026", 1026, "kSingleByte", "cp1026", None, "cp1026 1026 csIBM1026"),
    ("IBM01140", 1140, "kSingleByte", "cp1140", None,
     "IBM1140 CCSID01140 CP01140 cp1140 1140 ebcdic-us-37+euro csIBM01140 csIBM1140"),
    ("KOI8-R", 20866, "kSingleByte", "koi8_r", None, "KOI8R csKOI8R"),
    ("KOI8-U", 21866, "kSingleByte", "koi8_u", None, "KOI8U csKOI8U"),
    ("macintosh", 10000, "kSingleByte", "mac_roman", None,
     "mac MacRoman x-mac-roman csMacintosh"),
    ("x-mac-greek", 10006, "kSingleByte", "mac_greek", None, "MacGreek"),
    ("x-mac-cyrillic", 10007, "kSingleByte", "mac_cyrillic", None,
     "MacCyrillic mac-cyrillic"),
    ("x-mac-ce", 10029, "kSingleByte", "mac_latin2", None,
     "MacCentralEurope mac-centraleurope mac_centeuro MacLatin2 CP1282"),
    ("x-mac-icelandic", 10079, "kSingleByte", "mac_iceland", None,
     "MacIceland MacIcelandic MAC-IS"),
    ("x-mac-turkish", 10081, "kSingleByte", "mac_turkish", None, "MacTurkish"),
    ("Shift_JIS", 932, "kDoubleByte", "cp932", "kShiftJis",
     "SJIS MS_Kanji csShiftJIS Shift-JIS CP932 Windows-31J csWindows31J MS932 932 s_jis "
     "SJIS-open SJIS-win x-sjis"),
    ("EUC-JP", 51932, "kEucJp", "euc_jp", "kEucJp",
     "eucJP Extended_UNIX_Code_Packed_Format_for_Japanese csEUCPkdFmtJapanese ujis u_jis "
     "x-euc-jp"),
    ("ISO-2022-JP", 50220, "kIso2022Jp", "iso2022_jp", "kEucJp", "csISO2022JP ISO2022JP"),
    ("GBK", 936, "kGbk", "gb18030", "kGb18030",
     "CP936 MS936 windows-936 936 csGBK GB2312 csGB2312 EUC-CN EUCCN CN-GB chinese iso-ir-58 "
     "csISO58GB231280 GB_2312-80 GB2312-1980 GB2312-80 EUCGB2312-CN x-gbk"),
    ("GB18030", 54936, "kGb18030", "gb18030", "kGb18030", "csGB18030 GB18030-2000"),
    ("Big5", 950, "kDoubleByte", "cp950", "kBig5",
     "csBig5 CP950 MS950 950 Big-5 Big-Five BigFive CN-Big5 Big5-TW x-x-big5"),
    ("EUC-KR", 949, "kDoubleByte", "cp949", "kUhc",
     "csEUCKR eucKR UHC CP949 MS949 MSCP949 949 KS_C_5601-1987 KS_C_5601-1989 KSC_5601 "
     "KS_C_5601 KSC5601 iso-ir-149 csKSC56011987 korean KS_X_1001 KSX1001 windows-949"),
]

# Code page numbers that find an encoding besides its own.
CODE_PAGE_ALIASES = {20932: "EUC-JP", 50221: "ISO-2022-JP", 50222: "ISO-2022-JP",
                     2022: "ISO-2022-JP", 51949: "EUC-KR"}

# Names that must find the encoding given (folded, to the preferred name). Big5-HKSCS is a
# different encoding, whose name must find nothing here; so must the UCS names, which are not
# UTF-16 or UTF-32 (no surrogates, or no byte order rules).
REQUIRED = {
    "Shift_JIS": "SJIS Shift_JIS MS_Kanji CP932 Windows-31J MS932",
    "EUC-JP": "EUC-JP eucJP", "ISO-2022-JP": "ISO-2022-JP CSISO2022JP",
    "GBK": "GBK CP936 MS936 windows-936 GB2312 EUC-CN", "GB18030": "GB18030",
    "Big5": "Big5 CP950", "EUC-KR": "EUC-KR UHC CP949 KS_C_5601-1987",
    **{f"windows-{n}": f"windows-{n} CP{n}" for n in range(1250, 1259)},
    **{f"ISO-8859-{n}": f"ISO-8859-{n} ISO8859-{n} ISO_8859-{n}"
       for n in (*range(1, 12), *range(13, 17))},
    "ISO-8859-1": "ISO-8859-1 ISO8859-1 ISO_8859-1 latin1 L1",
    "KOI8-R": "KOI8-R", "KOI8-U": "KOI8-U", "IBM866": "IBM866 CP866 866",
    "US-ASCII": "US-ASCII ASCII ANSI_X3.4-1968", "UTF-8": "UTF-8 UTF8",
    "UTF-16LE": "UTF-16LE", "UTF-16BE": "UTF-16BE", "UTF-16": "UTF-16", "UTF-32LE": "UTF-32LE",
    "UTF-32BE": "UTF-32BE", "UTF-32": "UTF-32", "macintosh": "macintosh MacRoman",
}
LATIN_PARTS = {1: 1, 2: 2, 3: 3, 4: 4, 5: 9, 6: 10, 7: 13, 8: 14, 9: 15, 10: 16}
MUST_NOT_FIND = "Big5-HKSCS HKSCS UCS-2 UCS-2LE UCS-2BE UCS-4 UCS-4LE UCS-4BE ISO-10646-UCS-2"

# Python codecs and glibc modules that stand for the same encoding as ours (besides our own
# codec), and so may be what a name of ours means to them. Shift_JIS is read as CP932, its
# Windows extension, as Windows and the web read it; GB2312 and EUC-CN as GBK, a superset that
# decodes every GB2312 text the same; EUC-KR and KS C 5601 as UHC (CP949), likewise; Big5 as
# CP950.
SAME_PYTHON = {
    "UTF-8": "utf_8", "UTF-16LE": "utf_16_le", "UTF-16BE": "utf_16_be", "UTF-16": "utf_16",
    "UTF-32LE": "utf_32_le", "UTF-32BE": "utf_32_be", "UTF-32": "utf_32",
    "Shift_JIS": "shift_jis", "GBK": "gbk gb2312", "Big5": "big5", "EUC-KR": "euc_kr",
}
SAME_GLIBC = {
    "UTF-8": "ISO-10646/UTF8", "US-ASCII": "ANSI_X3.4-1968", "windows-874": "IBM874",
    "IBM01140": "IBM1140", "macintosh": "MACINTOSH", "x-mac-ce": "MAC-CENTRALEUROPE",
    "x-mac-icelandic": "MAC-IS", "IBM737": "CP737", "IBM775": "CP775",
    "Shift_JIS": "SJIS CP932", "GBK": "GBK EUC-CN",
    "Big5": "BIG5", "EUC-KR": "EUC-KR UHC",
    **{f"windows-{n}": f"CP{n}" for n in range(1250, 1259)},
}

# A name of ours that Python or glibc read as another encoding, and why ours holds (folded).
SETTLED = {
    # glibc's MAC-UK is Mac Ukrainian, a revision of Mac Cyrillic; people asking for Mac
    # Cyrillic mean Apple's CYRILLIC.TXT.
    "maccyrillic": "x-mac-cyrillic",
}

# Names Python or glibc give one of our encodings that we leave out, and why (folded).
OMITTED = {
    # Too vague to mean one encoding: "latin" and "8859" and "iso8859" name a family, "utf" and
    # "u8"/"u16"/"u32" are shorthands we would rather not guess at.
    "latin": "", "8859": "", "iso8859": "", "utf": "", "u8": "", "u16": "", "u32": "",
    # Python's internal names for its own UTF-8 builds.
    "utf8ucs2": "", "utf8ucs4": "",
    # Apple's CJK encodings are different (they have their own one-byte rows).
    "xmacjapanese": "", "xmacsimpchinese": "", "xmactradchinese": "", "xmackorean": "",
    # GB 13000 is UCS, which glibc files under GBK. (glibc's OSF registry numbers are left out
    # as a rule: nobody types them.)
    "gb13000": "",
    # "Unicode" alone means UTF-16 of either byte order, or UCS-2, depending on who says it.
    "unicodelittleunmarked": "", "unicodebigunmarked": "",
    # Names glibc gives IBM037 and IBM500 for neighbouring EBCDIC code pages of their own.
    "cp1070": "", "cp282": "", "500v1": "", "cp1084": "",
    # ASMO 708 is the Arabic DOS code page 708, not ISO 8859-6, however close.
    "asmo708": "",
    # The JIS X 0208 variant of glibc's that maps 0x5C and 0x7E to yen and overline.
    "ibm943": "",
}
