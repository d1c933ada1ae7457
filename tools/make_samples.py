#!/usr/bin/env python3
"""Writes the sample documents in samples/ that tools/run_sample.sh and the tool's tests use.

They are excerpts of real Japanese text (the manual pages of the Debian package manpages-ja, as
gathered in ../shared/corpus/ja.txt) encoded with Python's standard codecs: an ISO-2022-JP mail
message and a Shift_JIS text file. The samples are committed; this script records how they were
made. Usage: python3 tools/make_samples.py [CORPUS_DIR]
"""
import base64
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
corpus = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ROOT.parent / "shared" / "corpus")
lines = (corpus / "ja.txt").read_text(encoding="utf-8").split("\n")


def excerpt(first, last):
    """Lines first..last of the corpus, counted from 1 as editors do."""
    return "\n".join(lines[first - 1:last]) + "\n"


# A mail message as a mail program sends Japanese: 7-bit ISO-2022-JP body, the subject in an
# encoded word, CR LF line ends.
subject = "Python の開発について"
encoded_subject = "=?ISO-2022-JP?B?" + base64.b64encode(
    subject.encode("iso2022_jp")).decode("ascii") + "?="
headers = [
    "From: sample@example.org",
    "To: reader@example.org",
    "Subject: " + encoded_subject,
    "Date: Mon, 1 Jun 2026 09:00:00 +0900",
    "MIME-Version: 1.0",
    "Content-Type: text/plain; charset=ISO-2022-JP",
    "Content-Transfer-Encoding: 7bit",
]
body = excerpt(1, 6)
mail = ("\n".join(headers) + "\n\n" + body).replace("\n", "\r\n").encode("iso2022_jp")
assert all(b < 0x80 for b in mail), "ISO-2022-JP mail must be 7-bit"
assert mail.count(b"\x1b$B") > 10
(ROOT / "samples" / "mail.iso2022jp.eml").write_bytes(mail)

manual = excerpt(170, 199).encode("cp932")
assert any(b >= 0x80 for b in manual)
(ROOT / "samples" / "automake-options.sjis.txt").write_bytes(manual)
