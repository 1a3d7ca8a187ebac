#!/usr/bin/env python3
"""Writes samples/sample.pdf: a five-page book with a nested outline.

Run once; the result is committed. Titles use both PDFDocEncoding and
UTF-16BE, and destinations use an explicit page, a GoTo action and a
named destination, so that the sample shows what a real book holds."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests"))
from pdf_writer import Writer  # noqa: E402

pages = ["Preface", "Chapter 1", "Section 1.1", "Section 1.2", "Index"]
objects = {}

def utf16(text):
    return "<FEFF" + text.encode("utf-16-be").hex().upper() + ">"

# 1 catalog, 2 page tree, 3 outline root, 4 font, 5.. pages and contents
first_page = 5
page_ids = [first_page + 2 * i for i in range(len(pages))]
outline_first = first_page + 2 * len(pages)
o = {name: outline_first + i for i, name in
     enumerate(["pref", "ch1", "s11", "s12", "index"])}

objects[1] = ("<< /Type /Catalog /Pages 2 0 R /Outlines 3 0 R /PageMode /UseOutlines"
              " /Dests << /index [%d 0 R /Fit] >> >>" % page_ids[4])
objects[2] = "<< /Type /Pages /Kids [%s] /Count %d >>" % (
    " ".join("%d 0 R" % p for p in page_ids), len(pages))
objects[3] = "<< /Type /Outlines /First %d 0 R /Last %d 0 R /Count 5 >>" % (o["pref"], o["index"])
objects[4] = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"
for i, (pid, title) in enumerate(zip(page_ids, pages)):
    content = "BT /F1 36 Tf 72 700 Td (%s) Tj ET" % title
    objects[pid] = ("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792]"
                    " /Resources << /Font << /F1 4 0 R >> >> /Contents %d 0 R >>" % (pid + 1))
    objects[pid + 1] = "<< /Length %d >>\nstream\n%s\nendstream" % (len(content), content)
objects[o["pref"]] = ("<< /Title (Preface) /Parent 3 0 R /Next %d 0 R /Dest [%d 0 R /Fit] >>"
                      % (o["ch1"], page_ids[0]))
objects[o["ch1"]] = ("<< /Title %s /Parent 3 0 R /Prev %d 0 R /Next %d 0 R /First %d 0 R"
                     " /Last %d 0 R /Count 2 /Dest [%d 0 R /XYZ 0 792 0] >>"
                     % (utf16("Chapter 1 \u2014 Beginnings"), o["pref"], o["index"],
                        o["s11"], o["s12"], page_ids[1]))
objects[o["s11"]] = ("<< /Title (1.1 First steps) /Parent %d 0 R /Next %d 0 R"
                     " /A << /S /GoTo /D [%d 0 R /Fit] >> >>" % (o["ch1"], o["s12"], page_ids[2]))
objects[o["s12"]] = ("<< /Title %s /Parent %d 0 R /Prev %d 0 R /Dest [%d 0 R /Fit] >>"
                     % (utf16("1.2 Caf\u00e9 notes"), o["ch1"], o["s11"], page_ids[3]))
objects[o["index"]] = ("<< /Title (Index) /Parent 3 0 R /Prev %d 0 R /Dest /index >>"
                       % o["ch1"])

out = Writer(b"1.4")
for number in sorted(objects):
    out.object(number, objects[number].encode("latin-1"))
with open(os.path.join(HERE, "sample.pdf"), "wb") as f:
    f.write(out.end_with_table(b"/Root 1 0 R"))
