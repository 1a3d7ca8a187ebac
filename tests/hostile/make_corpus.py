#!/usr/bin/env python3
"""Writes the hostile-input corpus into a directory.

    make_corpus.py OUTDIR [--small] [--qpdf-reader]

Every file is a PDF (or what claims to be one) built to hurt a reader:
truncated, with broken cross-reference data, loops, extreme sizes,
impossible numbers and compression bombs. Beside the files goes
`expectations.txt`, one tab-separated line per file: name, the exit code
that is required ("0", "1" or "any"), the number of bookmarks the written
file must hold, CPU-time (seconds) and peak-memory (MiB) budgets for the
files that get others than the default, and text that standard error must
contain ("-": no requirement, the default budget). A first line named "*"
holds the default budgets. check_corpus.sh reads it.

--small leaves out the cases that take more than a few megabytes, for a
quick run. --qpdf-reader writes only the files that the reader over qpdf
must also meet its budgets on when it is chosen (VELLOX_READER=qpdf): the
cross-reference structures and the costs that used to escape the budgets.
Standard library only; the output is the same on every run.
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from pdf_encryption import Rc4Encryption, encrypted  # noqa: E402
from pdf_writer import Pdf, Writer, patch, ref, stream  # noqa: E402

# What any hostile file may cost a run: CPU seconds (user + system) and
# peak resident MiB.
DEFAULT_CPU_SECONDS = 1
DEFAULT_MEMORY_MB = 300

# Budgets above the default, by file name: (CPU seconds or "-", MiB or
# "-"). The comments give what the built-in reader took on a 2-core
# virtual machine. A million bookmarks is work in proportion, not a
# runaway; the bombs stop at the per-stream limit of 64 MiB, which takes
# most of a second to inflate.
READER_BUDGETS = {
    "siblings-1000000.pdf": (10, 500),     # 3.4 s, 283 MB
    "titles-4mb.pdf": (3, "-"),            # 1.2 s, 107 MB
    "bomb-object-stream.pdf": (2, "-"),    # 0.7 s, 134 MB
    "bomb-xref-stream.pdf": (2, "-"),      # 0.7 s, 134 MB
    # Handed to qpdf, which runs out of its memory budget.
    "packed-items-200000-wrong-offsets.pdf": (3, 400),  # 1.4 s, 317 MB
}

# The same for the reader over qpdf in the --qpdf-reader corpus: qpdf takes
# some 15 us and 2 KB an object, in proportion, not a runaway.
QPDF_READER_BUDGETS = {
    "object-stream-hints-wrong.pdf": (4, "-"),           # 1.7 s, 237 MB
    "pages-subtree-listed-1000000-times.pdf": (2, "-"),  # 0.75 s, 184 MB
    "packed-items-200000-wrong-offsets.pdf": (3, 400),   # 1.4 s, 317 MB, refused
}


def literal(text):
    """A PDF literal string of ASCII or PDFDocEncoding bytes."""
    if isinstance(text, str):
        text = text.encode("latin-1")
    escaped = text.replace(b"\\", b"\\\\").replace(b"(", b"\\(").replace(b")", b"\\)")
    return b"(" + escaped + b")"


def utf16(text):
    return b"<FEFF" + text.encode("utf-16-be").hex().upper().encode() + b">"


def zeros_adler32(prefix_adler, count):
    """Adler-32 after `count` zero bytes, continuing from `prefix_adler`."""
    a, b = prefix_adler & 0xFFFF, prefix_adler >> 16
    return (((b + count * a) % 65521) << 16) | a


def deflate_bomb(prefix, zero_bytes, suffix=b""):
    """zlib data of `prefix`, `zero_bytes` NULs (white space to a PDF
    parser) and `suffix`, made without compressing the NULs: one 16 MiB
    block of zeros, flushed to a byte boundary, is repeated."""
    chunk = 16 << 20
    assert zero_bytes % chunk == 0
    c = zlib.compressobj(9)
    data = c.compress(prefix) + c.flush(zlib.Z_FULL_FLUSH)
    block = c.compress(b"\0" * chunk) + c.flush(zlib.Z_FULL_FLUSH)
    adler = zeros_adler32(zlib.adler32(prefix), zero_bytes)
    if not suffix:
        return data + block * (zero_bytes // chunk) + b"\x03\x00" + struct.pack(">I", adler)
    # After a full flush nothing refers back: raw deflate of the suffix
    # alone ends the stream.
    end = zlib.compressobj(9, zlib.DEFLATED, -15)
    tail = end.compress(suffix) + end.flush(zlib.Z_FINISH)
    adler = zlib.adler32(suffix, adler)
    return data + block * (zero_bytes // chunk) + tail + struct.pack(">I", adler)


def add_pages(pdf, count):
    pages = pdf.add()
    kids = [pdf.add(b"<< /Type /Page /Parent %s /MediaBox [0 0 612 792] >>" % ref(pages))
            for _ in range(count)]
    pdf.set(pages, b"<< /Type /Pages /Kids [%s] /Count %d >>"
            % (b" ".join(ref(k) for k in kids), count))
    return pages, kids


def add_items(pdf, items, parent):
    """Items are (title, entries, children); returns (first, last, count)."""
    numbers = [pdf.add() for _ in items]
    count = len(items)
    for i, (title, entries, children) in enumerate(items):
        body = b"<< /Title " + title + b" /Parent " + ref(parent)
        if i > 0:
            body += b" /Prev " + ref(numbers[i - 1])
        if i + 1 < len(items):
            body += b" /Next " + ref(numbers[i + 1])
        if children:
            first, last, n = add_items(pdf, children, numbers[i])
            body += b" /First %s /Last %s /Count %d" % (ref(first), ref(last), n)
            count += n
        pdf.set(numbers[i], body + b" " + entries + b" >>")
    return numbers[0], numbers[-1], count


def add_outline(pdf, items):
    outlines = pdf.add()
    first, last, count = add_items(pdf, items, outlines)
    pdf.set(outlines, b"<< /Type /Outlines /First %s /Last %s /Count %d >>"
            % (ref(first), ref(last), count))
    return outlines


def sibling_book(count, title):
    """A one-page book whose outline is `count` siblings, item i titled
    title(i) (a PDF string): the book, its first item's number (the
    outline root's is one less, the items follow it) and its catalog's."""
    pdf = Pdf()
    pages, kids = add_pages(pdf, 1)
    outlines = len(pdf.bodies) + 1
    first = outlines + 1
    pdf.add(b"<< /Type /Outlines /First %s /Last %s /Count %d >>"
            % (ref(first), ref(first + count - 1), count))
    for i in range(count):
        link = (b" /Prev %s" % ref(first + i - 1) if i else b"") + \
               (b" /Next %s" % ref(first + i + 1) if i + 1 < count else b"")
        pdf.add(b"<< /Title %s /Parent %s%s /Dest [%s /Fit] >>"
                % (title(i), ref(outlines), link, ref(kids[0])))
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(outlines)))
    return pdf, first, root


def book():
    """A small, valid book: nested outline, every kind of destination.
    Returns (pdf, root, bookmark count)."""
    pdf = Pdf()
    pages, kids = add_pages(pdf, 6)
    names = pdf.add(b"<< /Names [(ch2) [%s /Fit] (index) [%s /Fit]] >>" % (ref(kids[3]), ref(kids[5])))
    items = [
        (literal("Preface"), b"/Dest [%s /Fit]" % ref(kids[0]), []),
        (utf16("Chapter 1 \u2014 Beginnings"), b"/Dest [%s /XYZ 0 792 0]" % ref(kids[1]), [
            (literal("1.1 First steps"), b"/A << /S /GoTo /D [%s /Fit] >>" % ref(kids[2]), []),
            (utf16("1.2 Caf\u00e9 notes"), b"/Dest [2 /Fit]", []),
        ]),
        (literal("Chapter 2"), b"/Dest (ch2)", [
            (literal("2.1 Named"), b"/Dest /last", []),
        ]),
        (literal("Index"), b"/A << /S /GoTo /D (index) >>", []),
        (literal("The end"), b"/A << /S /Named /N /LastPage >>", []),
    ]
    outlines = add_outline(pdf, items)
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s /Names << /Dests %s >>"
                   b" /Dests << /last [%s /Fit] >> >>" % (ref(pages), ref(outlines), ref(names), ref(kids[5])))
    return pdf, root, 8


class Corpus:
    def __init__(self, directory, budgets=None):
        self.directory = directory
        self.budgets = READER_BUDGETS if budgets is None else budgets
        self.expectations = []

    def add(self, name, data, exit_code="any", records="-", seconds="-", memory_mb="-", says="-"):
        """`seconds` and `memory_mb` set the check's budgets for a file that
        needs other ones than the default (the files that need more
        are in READER_BUDGETS and QPDF_READER_BUDGETS); `says` is text
        that standard error must contain."""
        seconds, memory_mb = self.budgets.get(name, (seconds, memory_mb))
        with open(os.path.join(self.directory, name), "wb") as f:
            f.write(data)
        self.expectations.append("\t".join(str(v) for v in (name, exit_code, records, seconds,
                                                             memory_mb, says)))

    def finish(self):
        defaults = "\t".join(str(v) for v in ("*", "-", "-", DEFAULT_CPU_SECONDS,
                                               DEFAULT_MEMORY_MB, "-"))
        with open(os.path.join(self.directory, "expectations.txt"), "w") as f:
            f.write("\n".join([defaults] + self.expectations) + "\n")


def truncations(corpus, name, data):
    """The file cut at many offsets: evenly spread, and at the places where
    a reader changes what it parses."""
    cuts = {len(data) * i // 40 for i in range(1, 40)}
    for marker in (b"xref", b"trailer", b"startxref", b"%%EOF", b"stream", b"endobj", b"/Outlines"):
        at = data.rfind(marker)
        if at >= 0:
            cuts.update({at, at + 1, at + len(marker)})
    cuts.update({len(data) - 1, len(data) - 2, 5, 9})
    for cut in sorted(c for c in cuts if 0 < c < len(data)):
        corpus.add("truncated-%s-%06d.pdf" % (name, cut), data[:cut])


def broken_cross_references(corpus):
    pdf, root, count = book()
    good = pdf.build(root)
    xref = good.rfind(b"xref\n0 ")
    start = good.rfind(b"startxref\n")
    corpus.add("xref-missing.pdf", good[:xref], "any")
    corpus.add("xref-garbage-entries.pdf",
               good[:xref] + good[xref:start].replace(b" n \n", b" q \n").replace(b"00000", b"ZZZZZ")
               + good[start:])
    corpus.add("xref-startxref-beyond-end.pdf", good[:start] + b"startxref\n999999999999\n%%EOF\n")
    corpus.add("xref-startxref-negative.pdf", good[:start] + b"startxref\n-12345\n%%EOF\n")
    corpus.add("xref-startxref-into-object.pdf", good[:start] + b"startxref\n20\n%%EOF\n")
    corpus.add("xref-huge-subsection.pdf",
               good.replace(b"xref\n0 %d\n" % (len(pdf.bodies) + 1), b"xref\n0 2147483647\n", 1))
    corpus.add("xref-prev-loop.pdf", good.replace(b"/Size", b"/Prev %d /Size" % xref, 1))
    corpus.add("xref-size-enormous.pdf", good.replace(b"<< /Size %d" % (len(pdf.bodies) + 1),
                                                      b"<< /Size 99999999999", 1))
    corpus.add("offsets-wrong.pdf", pdf.build(root, offset_shift=5), "0", str(count))
    corpus.add("offsets-beyond-end.pdf", pdf.build(root, offset_shift=10 ** 8))
    corpus.add("root-missing.pdf", good.replace(b"/Root %s" % ref(root), b""))
    corpus.add("root-dangling.pdf", good.replace(b"/Root %s" % ref(root), b"/Root 999 0 R"))
    corpus.add("not-a-pdf.pdf", b"hello, world\n", "1")
    corpus.add("empty.pdf", b"", "1")
    corpus.add("header-only.pdf", b"%PDF-1.7\n", "1")
    # A cross-reference stream whose /W claims eight-byte fields.
    compressed = pdf.build_compressed(root, set(range(1, len(pdf.bodies) + 1)) - {root})
    corpus.add("xref-stream-wide-fields.pdf", compressed.replace(b"/W [1 4 2]", b"/W [8 8 8]", 1))
    corpus.add("xref-stream-index-huge.pdf",
               compressed.replace(b"/W [1 4 2]", b"/W [1 4 2] /Index [0 2147483647]", 1))


def object_stream_cases(corpus):
    pdf, root, count = book()
    packed = set(range(1, len(pdf.bodies) + 1)) - {root}
    data = pdf.build_compressed(root, packed)
    corpus.add("objstm-book.pdf", data, "0", str(count))
    truncations(corpus, "objstm", data)

    objstm = len(pdf.bodies) + 1
    # The object stream extends itself, and its cross-reference row says it
    # lives inside itself.
    corpus.add("objstm-extends-itself.pdf",
               patch(data, 0, b"/Type /ObjStm", b"/Type /ObjStm /Extends %s" % ref(objstm)))
    corpus.add("objstm-inside-itself.pdf",
               pdf.build_compressed(root, packed, rows={objstm: (2, objstm, 0)}))
    # Its /Length is an object stored in the stream itself.
    inner = Pdf()
    inner.bodies = list(pdf.bodies)
    length = inner.add(b"0")
    corpus.add("objstm-length-inside.pdf",
               object_stream_length(inner.build_compressed(root, packed | {length}), ref(length)))
    # Lying lengths: too short, far too long, negative.
    for label, value in (("short", b"10"), ("long", b"99999999"), ("negative", b"-7")):
        lied = object_stream_length(data, value)
        corpus.add("objstm-length-%s.pdf" % label, lied)
    # Header pairs that point outside the stream or at each other.
    corpus.add("objstm-offsets-wild.pdf", pdf.build_compressed(
        root, packed, pair=lambda n, off: b"%d %d" % (n, off * 1000003 + 99999999)))
    corpus.add("objstm-number-of-itself.pdf", pdf.build_compressed(
        root, packed, pair=lambda n, off: b"%d %d" % (objstm, off)))


def object_stream_length(data, value):
    start = data.index(b"/Type /ObjStm")
    length_at = data.index(b"/Length ", start) + len(b"/Length ")
    old = data[length_at:data.index(b" ", length_at)]
    return patch(data, length_at, old, value)


def loops(corpus):
    # Page tree: a node that is its own kid, and a two-node cycle.
    pdf = Pdf()
    pages = pdf.add()
    inner = pdf.add()
    page = pdf.add(b"<< /Type /Page /Parent %s >>" % ref(inner))
    pdf.set(pages, b"<< /Type /Pages /Kids [%s %s] /Count 3 >>" % (ref(pages), ref(inner)))
    pdf.set(inner, b"<< /Type /Pages /Kids [%s %s %s] /Count 2 >>" % (ref(page), ref(pages), ref(inner)))
    outlines = add_outline(pdf, [(literal("Only"), b"/Dest [%s /Fit]" % ref(page), []),
                                 (literal("Second"), b"/Dest [7 /Fit]", [])])
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(outlines)))
    corpus.add("pages-loop.pdf", pdf.build(root), "0", "2")

    # Outline: /First back to the item itself and to the outline root;
    # /Next round in a circle; /Next to a parent.
    cases = {
        "outline-loop-first-self.pdf": [
            b"<< /Type /Outlines /First {1} /Count 2 >>",
            b"<< /Title (A) /Parent {0} /First {1} /Next {2} >>",
            b"<< /Title (B) /Parent {0} >>"],
        "outline-loop-first-root.pdf": [
            b"<< /Type /Outlines /First {1} /Count 2 >>",
            b"<< /Title (A) /Parent {0} /Next {2} /First {0} >>",
            b"<< /Title (B) /Parent {0} /First {1} >>"],
        "outline-loop-next-circle.pdf": [
            b"<< /Type /Outlines /First {1} /Count 3 >>",
            b"<< /Title (A) /Parent {0} /Next {2} >>",
            b"<< /Title (B) /Parent {0} /Next {3} >>",
            b"<< /Title (C) /Parent {0} /Next {1} >>"],
        "outline-loop-next-to-parent.pdf": [
            b"<< /Type /Outlines /First {1} /Count 3 >>",
            b"<< /Title (A) /Parent {0} /First {2} >>",
            b"<< /Title (A.1) /Parent {1} /Next {3} >>",
            b"<< /Title (A.2) /Parent {1} /Next {1} >>"],
        "outline-shared-child.pdf": [
            b"<< /Type /Outlines /First {1} /Count 3 >>",
            b"<< /Title (A) /Parent {0} /First {3} /Next {2} >>",
            b"<< /Title (B) /Parent {0} /First {3} >>",
            b"<< /Title (shared) /Parent {1} >>"],
    }
    for name, bodies in cases.items():
        pdf = Pdf()
        pages, kids = add_pages(pdf, 2)
        base = len(pdf.bodies) + 1
        refs = [ref(base + i) for i in range(len(bodies))]
        for body in bodies:
            pdf.add(body.replace(b"{0}", refs[0]).replace(b"{1}", refs[1])
                    .replace(b"{2}", refs[2] if len(refs) > 2 else b"null")
                    .replace(b"{3}", refs[3] if len(refs) > 3 else b"null"))
        root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), refs[0]))
        corpus.add(name, pdf.build(root), "0", str(len(bodies) - 1))

    # A destination name tree whose node is its own kid and its
    # grandchild's; the names asked for are missing, so all of it is read.
    pdf = Pdf()
    pages, kids = add_pages(pdf, 2)
    top = pdf.add()
    leaf = pdf.add()
    pdf.set(top, b"<< /Kids [%s %s] >>" % (ref(top), ref(leaf)))
    pdf.set(leaf, b"<< /Kids [%s %s] /Names [(a) [%s /Fit]] >>" % (ref(top), ref(leaf), ref(kids[1])))
    outlines = add_outline(pdf, [(literal("missing"), b"/Dest (nowhere)", []),
                                 (literal("found"), b"/Dest (a)", []),
                                 (literal("by name"), b"/A << /S /GoTo /D /nowhere >>", [])])
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s /Names << /Dests %s >> >>"
                   % (ref(pages), ref(outlines), ref(top)))
    corpus.add("names-loop.pdf", pdf.build(root), "0", "3")

    # Destinations that lead to each other: name to name to dictionary.
    pdf = Pdf()
    pages, kids = add_pages(pdf, 1)
    d = pdf.add()
    pdf.set(d, b"<< /D %s >>" % ref(d))
    outlines = add_outline(pdf, [(literal("a"), b"/Dest /a", []),
                                 (literal("d"), b"/Dest %s" % ref(d), []),
                                 (literal("chain"), b"/Dest 1000 0 R", [])])
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s /Dests << /a /b /b (a) >> >>"
                   % (ref(pages), ref(outlines)))
    corpus.add("destinations-loop.pdf", pdf.build(root), "0", "3")

    # References that lead only to each other.
    pdf = Pdf()
    a = pdf.add()
    b = pdf.add(ref(a))
    pdf.set(a, ref(b))
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(a), ref(b)))
    corpus.add("references-loop.pdf", pdf.build(root))


def extremes(corpus, small):
    # Nested 100,000 deep: the walk stops at its depth bound with a warning.
    depth = 2000 if small else 100000
    pdf = Pdf()
    pages, kids = add_pages(pdf, 1)
    outlines = pdf.add(b"<< /Type /Outlines /First %s /Count 1 >>" % ref(len(pdf.bodies) + 2))
    first = len(pdf.bodies) + 1
    for i in range(depth):
        child = b" /First %s" % ref(first + i + 1) if i + 1 < depth else b""
        pdf.add(b"<< /Title (D%d) /Parent %s%s /Dest [%s /Fit] >>"
                % (i, ref(first + i - 1 if i else outlines), child, ref(kids[0])))
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(outlines)))
    corpus.add("deep-%d.pdf" % depth, pdf.build(root), "0", "512")

    # 1,000,000 siblings, each pointing at one of 10 pages.
    siblings = 20000 if small else 1000000
    pdf = Pdf()
    pages, kids = add_pages(pdf, 10)
    outlines = len(pdf.bodies) + 1
    first = outlines + 1
    last = first + siblings - 1
    pdf.add(b"<< /Type /Outlines /First %s /Last %s /Count %d >>" % (ref(first), ref(last), siblings))
    for i in range(siblings):
        link = (b" /Prev %s" % ref(first + i - 1) if i else b"") + \
               (b" /Next %s" % ref(first + i + 1) if i + 1 < siblings else b"")
        pdf.add(b"<< /Title (Item %d) /Parent %s%s /Dest [%s /Fit] >>"
                % (i, ref(outlines), link, ref(kids[i % 10])))
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(outlines)))
    corpus.add("siblings-%d.pdf" % siblings, pdf.build(root), "0", str(siblings))

    # Titles of several megabytes: ASCII, UTF-16 with multibyte output
    # (the cut must land between characters), escapes, and many of them.
    mb = 1 if small else 4
    pdf = Pdf()
    pages, kids = add_pages(pdf, 1)
    items = [
        (literal(b"A" * (mb << 20)), b"", []),
        (utf16("\u00e9\u20ac\U0001F600" * ((mb << 20) // 4)), b"", []),
        (b"(" + b"\\101\\(\\)" * ((mb << 20) // 6) + b")", b"", []),
        (b"<" + b"41" * (mb << 20) + b">", b"", []),
    ] + [(literal(b"%d" % i * (1 << 20)), b"", []) for i in range(1 if small else 8)]
    outlines = add_outline(pdf, items)
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(outlines)))
    corpus.add("titles-%dmb.pdf" % mb, pdf.build(root), "0", str(len(items)))

    # The page tree nested deep too: the page index is found without
    # recursion.
    nodes = 2000 if small else 100000
    pdf = Pdf()
    first = len(pdf.bodies) + 1
    for i in range(nodes):
        parent = b" /Parent %s" % ref(first + i - 1) if i else b""
        pdf.add(b"<< /Type /Pages /Kids [%s] /Count 1%s >>" % (ref(first + i + 1), parent))
    page = pdf.add(b"<< /Type /Page /Parent %s >>" % ref(first + nodes - 1))
    outlines = add_outline(pdf, [(literal("Deep page"), b"/Dest [%s /Fit]" % ref(page), [])])
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(first), ref(outlines)))
    corpus.add("pages-deep-%d.pdf" % nodes, pdf.build(root), "0", "1")

    # A destination name tree nested just as deep.
    pdf = Pdf()
    pages, kids = add_pages(pdf, 2)
    first = len(pdf.bodies) + 1
    for i in range(nodes):
        more = b" /Kids [%s]" % ref(first + i + 1) if i + 1 < nodes else b""
        pdf.add(b"<< /Names [(n%d) [%s /Fit]]%s >>" % (i, ref(kids[i % 2]), more))
    outlines = add_outline(pdf, [(literal("last name"), b"/Dest (n%d)" % (nodes - 1), [])])
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s /Names << /Dests %s >> >>"
                   % (ref(pages), ref(outlines), ref(first)))
    corpus.add("names-deep-%d.pdf" % nodes, pdf.build(root), "0", "1")

    # Arrays and dictionaries nested beyond any parser's patience.
    pdf = Pdf()
    pages, kids = add_pages(pdf, 1)
    outlines = add_outline(pdf, [(literal("nested"), b"/Dest " + b"[" * 100000 + b"]" * 100000, []),
                                 (literal("dict"), b"/A " + b"<< /D " * 50000 + b">>" * 50000, [])])
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(outlines)))
    corpus.add("nesting-brackets.pdf", pdf.build(root))


def impossible_numbers(corpus):
    pdf = Pdf()
    pages, kids = add_pages(pdf, 3)
    dests = [b"[99999999999 0 R /Fit]", b"[-5 0 R /Fit]", b"[2147483647 0 R /Fit]",
             b"[4294967297 65535 R /Fit]", b"[0 0 R /Fit]", b"[1 -1 R /Fit]",
             b"[99999999999 /Fit]", b"[-5 /Fit]", b"[2147483647 /Fit]", b"[-2147483649 /Fit]",
             b"[1e300 /Fit]", b"[3.5 /Fit]", b"[]", b"[null]", b"7", b"<< >>",
             b"[%s /XYZ 1e300 -1e300 99999999999]" % ref(kids[2])]
    items = [(literal("dest %d" % i), b"/Dest " + d, []) for i, d in enumerate(dests)]
    items.append((literal("goto"), b"/A << /S /GoTo /D [99999999999 0 R] >>", []))
    items.append((literal("named"), b"/A << /S /Named /N /LastPage >>", []))
    items.append((literal("count"), b"/Count 99999999999", []))
    outlines = add_outline(pdf, items)
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(outlines)))
    corpus.add("page-references-impossible.pdf", pdf.build(root), "0", str(len(items)))

    # Object numbers and generations out of every range in the file
    # structure itself.
    good = pdf.build(root)
    corpus.add("object-number-enormous.pdf",
               good.replace(b"\n1 0 obj\n", b"\n99999999999 0 obj\n", 1))
    corpus.add("object-generation-negative.pdf", good.replace(b"\n2 0 obj\n", b"\n2 -3 obj\n", 1))

    # Titles that are no text: numbers, arrays, bad UTF-16, NULs, UTF-8.
    pdf = Pdf()
    pages, kids = add_pages(pdf, 1)
    titles = [b"42", b"[(a) (b)]", b"<FEFFD800>", b"<FEFFDC00D800DC00>", b"<FEFF>", b"<FE>",
              b"(a\\000b)", b"<EFBBBF636166C3A9>", b"<EFBBBFFF>", b"(\\377\\376\\000a)", b"null"]
    outlines = add_outline(pdf, [(t, b"", []) for t in titles])
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(outlines)))
    corpus.add("titles-not-text.pdf", pdf.build(root), "0", str(len(titles)))

    # An outline that is not a dictionary, and items that are not either.
    pdf = Pdf()
    pages, kids = add_pages(pdf, 1)
    odd = pdf.add(b"<< /Type /Outlines /First 7 /Last [1 2] >>")
    root = pdf.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(odd)))
    corpus.add("outline-items-not-dictionaries.pdf", pdf.build(root), "0", "0")
    pdf.set(odd, b"(not an outline)")
    corpus.add("outline-not-dictionary.pdf", pdf.build(root), "0", "0")


def lying_streams(corpus):
    pdf, root, count = book()
    content = b"BT /F1 24 Tf 72 700 Td (Hello) Tj ET"
    for label, length in (("short", b"5"), ("long", b"99999999"), ("negative", b"-1"),
                          ("missing-object", b"999 0 R"), ("not-a-number", b"/Oops")):
        variant = Pdf()
        variant.bodies = list(pdf.bodies)
        body = stream(b"", content, length)
        variant.bodies[1] = variant.bodies[1].replace(b">>", b"/Contents %d 0 R >>" % (len(variant.bodies) + 1), 1)
        variant.add(body)
        corpus.add("stream-length-%s.pdf" % label, variant.build(root), "0", str(count))
    # A stream that never ends.
    variant = Pdf()
    variant.bodies = list(pdf.bodies)
    variant.add(b"<< /Length 100 >>\nstream\n" + b"x" * 200)
    corpus.add("stream-unterminated.pdf", variant.build(root))


def bombs(corpus, small):
    """Flate streams that inflate to gigabytes from a few megabytes."""
    size = (256 << 20) if small else (4 << 30)
    pdf, root, count = book()
    packed = set(range(1, len(pdf.bodies) + 1)) - {root}
    # The object stream: the real objects first, then gigabytes of NULs
    # (white space to a PDF parser).
    bombed = pdf.build_compressed(root, packed, compress=lambda data: deflate_bomb(data, size))
    # The reader must refuse to decode it whole: little memory, and an
    # error that names the limit.
    corpus.add("bomb-object-stream.pdf", bombed, "1", "-", "-", "-", "exceeds the limit")

    # A page's content stream: never needed for the outline.
    variant = Pdf()
    variant.bodies = list(pdf.bodies)
    variant.bodies[1] = variant.bodies[1].replace(b">>", b"/Contents %d 0 R >>" % (len(variant.bodies) + 1), 1)
    variant.add(stream(b"/Filter /FlateDecode", deflate_bomb(b"BT ET ", size)))
    corpus.add("bomb-content-stream.pdf", variant.build(root), "0", str(count))

    # The cross-reference stream itself. qpdf decodes it while opening the
    # file, before the reader can look at it: this one still takes about
    # 1 GB until the address-space limit stops it.
    rows = b"".join(struct.pack(">BIH", 0, 0, 0) for _ in range(1))
    xref_body = stream(b"/Type /XRef /Size 3 /W [1 4 2] /Root 1 0 R /Filter /FlateDecode",
                       deflate_bomb(rows, size))
    out = Writer()
    out.object(1, b"<< /Type /Catalog >>")
    at = out.size
    out.object(2, xref_body)
    corpus.add("bomb-xref-stream.pdf", out.end(at))


def file_structures(corpus, small):
    """The cross-reference structures real files have beside a single
    table or stream: hybrids as word processors write them, linearized
    files, long chains of incremental updates. Both readers must read them
    alike."""
    pdf, root, count = book()
    for mark_free, name in ((True, "hybrid-marked-free.pdf"), (False, "hybrid-left-out.pdf")):
        corpus.add(name, hybrid(pdf, root, mark_free), "0", str(count))
    corpus.add("linearized.pdf", linearized(pdf, root), "0", str(count))
    updates = 300 if small else 5000
    corpus.add("updates-%d.pdf" % updates, update_chain(pdf, root, updates), "0", str(count))


def hybrid(pdf, root, mark_free):
    """Every object but the catalog (items, pages, the outline root) in an
    object stream that only the /XRefStm stream finds; the table marks them
    free, as the PDF reference's example does, or leaves them out."""
    writer = Writer()
    writer.object(root, pdf.bodies[root - 1])
    objstm = len(pdf.bodies) + 1
    writer.object_stream(objstm, [(n, pdf.bodies[n - 1]) for n in range(1, objstm) if n != root])
    return writer.end_with_hybrid(objstm + 1, b"/Root %s" % ref(root), mark_free)


def linearized(pdf, root):
    """The objects as a linearized file lays them out: the linearization
    dictionary, a first-page cross-reference section (where the last
    startxref points) with /Prev to the main one at the end, a hint stream,
    the catalog, the page tree and the first page, then the rest. Numbers are written
    with fixed widths, so a second pass writes the offsets the first
    found."""
    lin, hint = len(pdf.bodies) + 1, len(pdf.bodies) + 2
    first = [root, 1, 2]  # the catalog, the page tree and the first page (see add_pages)
    found = {"L": 0, "H": 0, "HL": 0, "E": 0, "T": 0, "X": 0}
    for _ in range(2):
        w = Writer()
        w.object(lin, b"<< /Linearized 1 /L %010d /H [%010d %010d] /O 2 /E %010d /N 6 /T %010d >>"
                 % (found["L"], found["H"], found["HL"], found["E"], found["T"]))
        found["X"] = w.size
        for number in first + [hint]:
            w.rows[number] = (1, found.get(number, 0), 0)
        w.table(sorted(first + [lin, hint]))
        w.write(b"trailer\n<< /Size %d /Prev %010d /Root %s >>\nstartxref\n0\n%%%%EOF\n"
                % (hint + 1, found["T"], ref(root)))
        found["H"] = found[hint] = w.size
        w.object(hint, stream(b"/S 12", b"\0" * 30))
        found["HL"] = w.size - found["H"]
        for number in first:
            found[number] = w.size
            w.object(number, pdf.bodies[number - 1])
        found["E"] = w.size
        for number in range(1, lin):
            if number not in first:
                w.object(number, pdf.bodies[number - 1])
        found["T"] = w.size
        w.rows = {n: row for n, row in w.rows.items() if n not in first + [lin, hint]}
        w.table(range(lin))
        w.write(b"trailer\n<< /Size %d >>\n" % (hint + 1))
        data = w.end(found["X"])
        found["L"] = len(data)
    return data


def update_chain(pdf, root, updates):
    """The book and `updates` incremental updates: items retitled in turn,
    an object added in one update and freed in the next, one section in
    ten a cross-reference stream."""
    writer = Writer()
    for number, body in enumerate(pdf.bodies, 1):
        writer.object(number, body)
    writer.end_with_table(b"/Root %s" % ref(root))
    items = [n for n, body in enumerate(pdf.bodies, 1) if b"/Title" in body]
    spare = len(pdf.bodies) + 1
    next_stream = spare + 1
    for update in range(1, updates + 1):
        n = items[update % len(items)]
        body = pdf.bodies[n - 1]
        start = body.index(b"/Title ") + len(b"/Title ")
        end = body.index(b" /Parent", start)
        writer.object(n, body[:start] + b"(%s, update %d)" % (body[start:end].strip(b"()<>")[:8],
                                                               update) + body[end:])
        if update % 2:
            writer.object(spare, b"(spare %d)" % update)
        else:
            writer.free(spare)
        if update % 10 == 0:
            data = writer.end_update_with_xref_stream(next_stream, b"/Root %s" % ref(root))
            next_stream += 1
        else:
            data = writer.end_update_with_table(b"/Root %s" % ref(root))
    return data


def escapes(corpus, small):
    """Costs no budget used to stop: work quadratic in the file, and
    parameters or bombs that only the qpdf reader met (a file the built-in
    reader finds damaged goes there)."""
    pdf, root, count = book()
    packed = set(range(1, len(pdf.bodies) + 1)) - {root}
    good = pdf.build_compressed(root, packed)

    # A cross-reference stream, and object streams, whose predictor rows
    # would take gigabytes (qpdf's decoder sizes its rows by /Columns).
    out = Writer()
    out.object(1, b"<< /Type /Catalog /Pages 2 0 R >>")
    out.object(2, b"<< /Type /Pages /Kids [] /Count 0 >>")
    xref = out.size
    out.rows[3] = (1, xref, 0)
    rows = b"".join(b"\x00" + struct.pack(">BIH", *out.rows.get(n, (0, 0, 0))) for n in range(4))
    out.object(3, stream(b"/Type /XRef /Size 4 /W [1 4 2] /Root 1 0 R /Filter /FlateDecode"
                         b" /DecodeParms << /Predictor 12 /Columns 2147483648 >>",
                         zlib.compress(rows)))
    corpus.add("predictor-xref-stream.pdf", out.end(xref), "1", says="exceeds the limit")
    for name, parameters in (("png", b"/Predictor 12/Columns 2147483648"),
                             ("tiff", b"/Predictor 2/Columns 2147483647/Colors 32"),
                             ("tiff-gray", b"/Predictor 2/Columns 1073741823")):
        corpus.add("predictor-object-stream-%s.pdf" % name,
                   patch(good, 0, b"/Type /ObjStm", b"/Type /ObjStm/DecodeParms<<" + parameters + b">>"),
                   "1", says="exceeds the limit")

    # Offsets one byte off send the file to qpdf, which decodes the object
    # stream whole: 208 MiB of zeros behind the objects.
    bomb = 32 << 20 if small else 208 << 20
    writer = Writer()
    for number, body in enumerate(pdf.bodies, 1):
        if number not in packed:
            writer.object(number, body)
    objstm = len(pdf.bodies) + 1
    writer.object_stream(objstm, [(n, pdf.bodies[n - 1]) for n in sorted(packed)],
                         compress=lambda data: deflate_bomb(data, bomb))
    shifted = {n: (1, offset + 1, g) for n, (kind, offset, g) in writer.rows.items() if kind == 1}
    corpus.add("bomb-behind-wrong-offsets.pdf",
               writer.end_with_xref_stream(objstm + 1, b"/Root %s" % ref(root), shifted),
               "1" if not small else "any", says="exceeds the limit" if not small else "-")

    # Offsets one byte off send the file to qpdf, which builds some 2 KB
    # for each of 200,000 bookmarks packed in object streams at 13 bytes
    # each: past the memory qpdf may hold for a file of 2.6 MB.
    items = 20000 if small else 200000
    pdf7, first, root7 = sibling_book(items, lambda i: b"(Item)")
    writer = Writer()
    for number in range(1, first):
        writer.object(number, pdf7.bodies[number - 1])
    writer.object(root7, pdf7.bodies[root7 - 1])
    objstm = root7
    for start in range(first, first + items, 50000):  # an index fits 16 bits
        objstm += 1
        writer.object_stream(objstm, [(n, pdf7.bodies[n - 1])
                                      for n in range(start, min(start + 50000, first + items))],
                             compress=lambda data: zlib.compress(data, 9))
    shifted = {n: (1, offset + 1, g) for n, (kind, offset, g) in writer.rows.items() if kind == 1}
    corpus.add("packed-items-%d-wrong-offsets.pdf" % items,
               writer.end_with_xref_stream(objstm + 1, b"/Root %s" % ref(root7), shifted),
               "1" if not small else "any", says="exceeds the limit" if not small else "-")

    # Items in one object stream and their titles in another, each 16 MiB
    # inflated: read in turn, each is inflated once.
    items = 40
    pdf2 = Pdf()
    pages, kids = add_pages(pdf2, 1)
    outlines = pdf2.add()
    first_item = len(pdf2.bodies) + 1
    item_numbers = [pdf2.add() for _ in range(items)]
    title_numbers = [pdf2.add(b"(Title %d)" % i) for i in range(items)]
    for i, n in enumerate(item_numbers):
        pdf2.set(n, b"<< /Title %s /Parent %s%s%s /Dest [%s /Fit] >>" % (
            ref(title_numbers[i]), ref(outlines), b" /Prev " + ref(n - 1) if i else b"",
            b" /Next " + ref(n + 1) if i + 1 < items else b"", ref(kids[0])))
    pdf2.set(outlines, b"<< /Type /Outlines /First %s /Last %s /Count %d >>"
             % (ref(first_item), ref(item_numbers[-1]), items))
    root2 = pdf2.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(outlines)))
    writer = Writer()
    for n in (pages, kids[0], outlines, root2):
        writer.object(n, pdf2.bodies[n - 1])
    stream_a, stream_b = len(pdf2.bodies) + 1, len(pdf2.bodies) + 2
    for number, group in ((stream_a, item_numbers), (stream_b, title_numbers)):
        writer.object_stream(number, [(n, pdf2.bodies[n - 1]) for n in group],
                             compress=lambda data: deflate_bomb(data, 16 << 20))
    corpus.add("object-streams-read-in-turn.pdf",
               writer.end_with_xref_stream(stream_b + 1, b"/Root %s" % ref(root2)), "0", str(items))

    # One action of 48 MiB (white space inside it, in an object stream)
    # shared by 44 items: parsed once, not 44 times.
    shared = 44
    pdf3 = Pdf()
    pages, kids = add_pages(pdf3, 2)
    action = pdf3.add()
    outlines3 = add_outline(pdf3, [(literal("Shared %d" % i), b"/A %s" % ref(action), [])
                                   for i in range(shared)])
    root3 = pdf3.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(outlines3)))
    writer = Writer()
    for number, body in enumerate(pdf3.bodies, 1):
        if number != action:
            writer.object(number, body)
    objstm = len(pdf3.bodies) + 1
    writer.object_stream(objstm, [(action, b"<< /S /GoTo /D [%s /Fit] /Pad [" % ref(kids[1]))],
                         compress=lambda data: deflate_bomb(data, 48 << 20, b"] >>\n"))
    corpus.add("action-shared-48mib.pdf",
               writer.end_with_xref_stream(objstm + 1, b"/Root %s" % ref(root3)), "0", str(shared))

    # Object-stream index hints all wrong: each object is looked up in the
    # stream's header.
    siblings = 20000 if small else 100000
    pdf4, first, root4 = sibling_book(siblings, lambda i: b"(Item %d)" % i)
    packed4 = set(range(first - 1, root4))  # the outline root and its items
    objstm4 = len(pdf4.bodies) + 1
    wrong = {n: (2, objstm4, (i + 1) % 65536) for i, n in enumerate(sorted(packed4))}
    corpus.add("object-stream-hints-wrong.pdf",
               pdf4.build_compressed(root4, packed4, rows=wrong), "0", str(siblings))

    # Two sections of 40,000 trailer keys each: merged in one pass.
    keys = 4000 if small else 40000
    writer = Writer()
    for number, body in enumerate(pdf.bodies, 1):
        writer.object(number, body)
    writer.end_with_table(b"/Root %s " % ref(root) + b"".join(b"/A%d 0 " % k for k in range(keys)))
    writer.object(root, pdf.bodies[root - 1])
    corpus.add("trailer-keys-%d.pdf" % (2 * keys), writer.end_update_with_table(
        b"/Root %s " % ref(root) + b"".join(b"/B%d 0 " % k for k in range(keys))), "0", str(count))

    # Sections nested in one another's trailer strings: each reads all
    # that follows it again.
    levels = 2000 if small else 20000
    writer = Writer()
    for number, body in enumerate(pdf.bodies, 1):
        writer.object(number, body)
    base = writer.size
    writer.table(range(len(pdf.bodies) + 1))
    writer.write(b"trailer\n<< /Size %d /Root %s >>\n" % (len(pdf.bodies) + 1, ref(root)))
    start = writer.size
    opening = b"xref\n0 0\ntrailer\n<< /Size %d /Root %s /Prev " % (len(pdf.bodies) + 1, ref(root))
    at, nested = start, []
    for level in range(levels):
        at += len(opening) + 10 + len(b" /Pad (")
        nested.append(opening + b"%010d /Pad (" % (at if level + 1 < levels else base))
    writer.write(b"".join(nested) + b") >>" * levels + b"\n")
    corpus.add("xref-sections-nested.pdf", writer.end(start), says="-")

    # /Kids that list one subtree (of one page) a million times, and a
    # tree whose every level lists the next twice: 2^40 pages as viewers
    # count them, walked in time linear in the file.
    repeats = 20000 if small else 1000000
    pdf5 = Pdf()
    pages = pdf5.add()
    inner = pdf5.add()
    page = pdf5.add(b"<< /Type /Page /Parent %s >>" % ref(inner))
    last = pdf5.add(b"<< /Type /Page /Parent %s >>" % ref(pages))
    pdf5.set(inner, b"<< /Type /Pages /Parent %s /Kids [%s] /Count 1 >>" % (ref(pages), ref(page)))
    pdf5.set(pages, b"<< /Type /Pages /Kids [%s %s] /Count %d >>"
             % (b" ".join([ref(inner)] * repeats), ref(last), repeats + 1))
    outlines5 = add_outline(pdf5, [(literal("first"), b"/Dest [%s /Fit]" % ref(page), []),
                                   (literal("after them"), b"/Dest [%s /Fit]" % ref(last), []),
                                   (literal("last"), b"/A << /S /Named /N /LastPage >>", [])])
    root5 = pdf5.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(pages), ref(outlines5)))
    corpus.add("pages-subtree-listed-%d-times.pdf" % repeats, pdf5.build(root5), "0", "3")

    pdf6 = Pdf()
    levels = 40
    nodes = [pdf6.add() for _ in range(levels)]
    page = pdf6.add(b"<< /Type /Page /Parent %s >>" % ref(nodes[-1]))
    for level, node in enumerate(nodes):
        kid = ref(nodes[level + 1]) if level + 1 < levels else ref(page)
        parent = b" /Parent %s" % ref(nodes[level - 1]) if level else b""
        pdf6.set(node, b"<< /Type /Pages%s /Kids [%s %s] /Count %d >>"
                 % (parent, kid, kid, 2 ** (levels - level)))
    outlines6 = add_outline(pdf6, [(literal("page"), b"/Dest [%s /Fit]" % ref(page), []),
                                   (literal("last"), b"/A << /S /Named /N /LastPage >>", [])])
    root6 = pdf6.add(b"<< /Type /Catalog /Pages %s /Outlines %s >>" % (ref(nodes[0]), ref(outlines6)))
    corpus.add("pages-doubling-%d-levels.pdf" % levels, pdf6.build(root6), "0", "2")


def encryption(corpus):
    """Files encrypted with the standard security handler (RC4: AES files
    come from qpdf in the tests): those that open without a password,
    those that need one, and dictionaries that lie."""
    pdf, root, count = book()
    packed = set(range(1, len(pdf.bodies) + 1)) - {root}
    for name, cipher, layout in (
            ("encrypted-rc4-40.pdf", Rc4Encryption(2), ()),
            ("encrypted-rc4-128.pdf", Rc4Encryption(3), ()),
            ("encrypted-rc4-128-objstm.pdf", Rc4Encryption(3), packed),
            ("encrypted-rc4-revision4-metadata-clear.pdf", Rc4Encryption(4, encrypt_metadata=False),
             packed),
            # Only the owner password is empty: it opens the file.
            ("encrypted-owner-password-empty.pdf", Rc4Encryption(3, user=b"secret", owner=b""), ())):
        corpus.add(name, encrypted(pdf, root, cipher, layout), "0", str(count))
    corpus.add("encrypted-password.pdf",
               encrypted(pdf, root, Rc4Encryption(3, user=b"secret", owner=b"owner")), "1", "-",
               "-", "-", "needs a password")
    cipher = Rc4Encryption(3)
    good = encrypted(pdf, root, cipher)
    # /P is part of the key: another one makes another key.
    corpus.add("encrypted-permissions-wrong.pdf", good.replace(b"/P -4", b"/P -8", 1), "1", "-",
               "-", "-", "needs a password")
    corpus.add("encrypted-id-missing.pdf", good.replace(b"/ID [", b"/XX [", 1), "1")
    corpus.add("encrypted-key-length-absurd.pdf", encrypted(
        pdf, root, cipher, dictionary=cipher.dictionary().replace(b"/Length 128",
                                                                  b"/Length 99999999999")))
    corpus.add("encrypted-stream-length-absurd.pdf",
               object_stream_length(encrypted(pdf, root, cipher, packed), b"99999999999"), "1",
               "-", "-", "-", "exceeds the limit")
    corpus.add("encrypted-public-key.pdf", encrypted(
        pdf, root, cipher, dictionary=cipher.dictionary().replace(b"/Filter /Standard",
                                                                  b"/Filter /Adobe.PubSec")), "1")

    # Revision 6 with entries too short to hold what they must: nothing
    # is decrypted, the strings are in the clear.
    entries = {b"O": 48, b"U": 48, b"OE": 32, b"UE": 32, b"Perms": 16}
    for short in (None, b"O", b"U", b"OE", b"UE"):
        variant = Pdf()
        variant.bodies = list(pdf.bodies)
        dictionary = b"<< /Filter /Standard /V 5 /R 6 /P -4 /CF << /StdCF << /CFM /AESV3" \
                     b" /AuthEvent /DocOpen /Length 32 >> >> /StmF /StdCF /StrF /StdCF"
        for key, size in entries.items():
            value = bytes((7 * i + len(key)) & 255 for i in range(size - (9 if key == short else 0)))
            dictionary += b" /%s <%s>" % (key, value.hex().encode())
        number = variant.add(dictionary + b" >>")
        data = variant.build(root, b"/Encrypt %d 0 R" % number)
        if short is None:
            # Well formed, but no empty password fits: the key derivation
            # runs its rounds for both passwords and stops.
            corpus.add("encrypted-revision6-no-password-fits.pdf", data, "1", "-", "-", "-",
                       "needs a password")
        else:
            corpus.add("encrypted-revision6-short-%s.pdf" % short.decode().lower(), data)


def main():
    options = {"--small", "--qpdf-reader"}
    args = [a for a in sys.argv[1:] if a not in options]
    small = "--small" in sys.argv[1:]
    if len(args) != 1:
        sys.exit("usage: make_corpus.py OUTDIR [--small] [--qpdf-reader]")
    os.makedirs(args[0], exist_ok=True)
    if "--qpdf-reader" in sys.argv[1:]:
        corpus = Corpus(args[0], QPDF_READER_BUDGETS)
        file_structures(corpus, small)
        escapes(corpus, small)
        corpus.finish()
        return
    corpus = Corpus(args[0])
    pdf, root, count = book()
    data = pdf.build(root)
    corpus.add("book.pdf", data, "0", str(count))
    truncations(corpus, "classic", data)
    broken_cross_references(corpus)
    object_stream_cases(corpus)
    loops(corpus)
    extremes(corpus, small)
    impossible_numbers(corpus)
    lying_streams(corpus)
    bombs(corpus, small)
    file_structures(corpus, small)
    escapes(corpus, small)
    encryption(corpus)
    corpus.finish()


if __name__ == "__main__":
    main()
