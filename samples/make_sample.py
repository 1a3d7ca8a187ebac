#!/usr/bin/env python3
"""Writes samples/sample.pdf: a ten-page book whose outline shows what
vellox reads.

Run once; the result is committed. The book has front matter numbered
i-iii, chapters from 1 and an appendix A-1, A-2 (/PageLabels, for -PL); an
outline three levels deep (so that -ML cuts it); titles in
PDFDocEncoding and in UTF-16BE, one of them Greek; and destinations of
every kind a real book uses: explicit pages, GoTo actions and named
destinations (in the /Names tree, one in the dictionary form LaTeX
writes).

    page index  0  1   2    3  4  5  6  7  8    9
    label       i  ii  iii  1  2  3  4  5  A-1  A-2
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests"))
from pdf_writer import Writer  # noqa: E402

# (printed label, heading) of each page.
pages = [("i", "A Sample Book"), ("ii", "Preface"), ("iii", "Contents"),
         ("1", "Chapter 1"), ("2", "1.1 First steps"), ("3", "1.2 Greek"),
         ("4", "Chapter 2"), ("5", "2.1 Notes"), ("A-1", "Appendix A"), ("A-2", "Index")]
LABELS = "<< /Nums [0 << /S /r >> 3 << /S /D >> 8 << /S /D /P (A-) >>] >>"


def utf16(text):
    return "<FEFF" + text.encode("utf-16-be").hex().upper() + ">"


# The outline: (key, title as written in the PDF, destination entry, children).
outline = [
    ("preface", "(Preface)", "/Dest [{p1} /Fit]", []),
    ("ch1", utf16("Chapter 1 \u2014 Beginnings"), "/Dest [{p3} /XYZ 0 792 0]", [
        ("s11", "(1.1 First steps)", "/A << /S /GoTo /D [{p4} /Fit] >>", [
            ("s111", utf16("1.1.1 Caf\u00e9 notes"), "/Dest [{p4} /FitH 400]", []),
        ]),
        ("s12", utf16("1.2 \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac"),
         "/Dest [{p5} /Fit]", []),
    ]),
    ("ch2", "(Chapter 2)", "/Dest [{p6} /Fit]", [
        ("s21", "(2.1 Notes)", "/Dest [{p7} /Fit]", []),
    ]),
    ("appendix", "(Appendix A \\204 Tables)", "/A << /S /GoTo /D (appendix-a) >>", []),
    ("index", "(Index)", "/Dest (index)", []),
]

# 1 catalog, 2 page tree, 3 outline root, 4 font, then two objects a page
# (page, contents), then the outline items in the order above.
objects = {}
page_ids = [5 + 2 * i for i in range(len(pages))]
refs = {"p%d" % i: "%d 0 R" % pid for i, pid in enumerate(page_ids)}
numbers = {}


def number_items(items):
    for key, _, _, children in items:
        numbers[key] = 5 + 2 * len(pages) + len(numbers)
        number_items(children)


number_items(outline)


def write_items(items, parent):
    """Writes `items`, the children of object `parent`; returns how many
    items are below them, all open."""
    count = 0
    for i, (key, title, destination, children) in enumerate(items):
        entries = ["/Title " + title, "/Parent %d 0 R" % parent, destination.format(**refs)]
        if i > 0:
            entries.append("/Prev %d 0 R" % numbers[items[i - 1][0]])
        if i + 1 < len(items):
            entries.append("/Next %d 0 R" % numbers[items[i + 1][0]])
        below = write_items(children, numbers[key])
        if children:
            entries.append("/First %d 0 R /Last %d 0 R /Count %d"
                           % (numbers[children[0][0]], numbers[children[-1][0]], below))
        objects[numbers[key]] = "<< " + " ".join(entries) + " >>"
        count += 1 + below
    return count


objects[3] = "<< /Type /Outlines /First %d 0 R /Last %d 0 R /Count %d >>" % (
    numbers[outline[0][0]], numbers[outline[-1][0]], write_items(outline, 3))
objects[1] = ("<< /Type /Catalog /Pages 2 0 R /Outlines 3 0 R /PageMode /UseOutlines"
              " /PageLabels %s /Names << /Dests << /Names [(appendix-a) [%s /XYZ 0 792 0]"
              " (index) << /D [%s /Fit] >>] >> >> >>" % (LABELS, refs["p8"], refs["p9"]))
objects[2] = "<< /Type /Pages /Kids [%s] /Count %d >>" % (
    " ".join("%d 0 R" % p for p in page_ids), len(pages))
objects[4] = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"
for pid, (label, heading) in zip(page_ids, pages):
    content = ("BT /F1 28 Tf 72 700 Td (%s) Tj ET BT /F1 12 Tf 300 40 Td (%s) Tj ET"
               % (heading, label))
    objects[pid] = ("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792]"
                    " /Resources << /Font << /F1 4 0 R >> >> /Contents %d 0 R >>" % (pid + 1))
    objects[pid + 1] = "<< /Length %d >>\nstream\n%s\nendstream" % (len(content), content)

out = Writer(b"1.4")
for number in sorted(objects):
    out.object(number, objects[number].encode("latin-1"))
with open(os.path.join(HERE, "sample.pdf"), "wb") as f:
    f.write(out.end_with_table(b"/Root 1 0 R"))
