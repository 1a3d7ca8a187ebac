#!/usr/bin/env python3
"""Writes samples/sample.pdf: a five-page book with a nested outline.

Run once; the result is committed. Titles use both PDFDocEncoding and
UTF-16BE, and destinations use an explicit page, a GoTo action and a
named destination, so that the sample shows what a real book holds."""
import os

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

out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
offsets = {}
for number in sorted(objects):
    offsets[number] = len(out)
    out += b"%d 0 obj\n%s\nendobj\n" % (number, objects[number].encode("latin-1"))
xref = len(out)
count = max(objects) + 1
out += b"xref\n0 %d\n0000000000 65535 f \n" % count
for number in range(1, count):
    out += b"%010d 00000 n \n" % offsets[number]
out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (count, xref)

path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sample.pdf")
with open(path, "wb") as f:
    f.write(out)
