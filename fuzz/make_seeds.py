#!/usr/bin/env python3
"""Writes the fuzz targets' seed inputs into fuzz/corpus/<target>/.

Run once after changing an input format; the seeds are committed. The PDF
seeds are the hostile-corpus generator's documents (written by
tests/pdf_writer.py), kept small so that the fuzzer mutates quickly."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "hostile"))
import make_corpus as pdfs  # noqa: E402


def write(target, name, data):
    directory = os.path.join(HERE, "corpus", target)
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)
    # differential: the same files without the depth byte, for both readers.
    if target == "pdf":
        write("differential", name, data[1:])


# pdf: one byte picks the depth limit (byte % 10 - 2), then the file.
NO_LIMIT, TOP_ONLY, TWO_LEVELS = b"\x01", b"\x02", b"\x03"


def pdf_seeds():
    book, root, _ = pdfs.book()
    classic = book.build(root)
    packed = set(range(1, len(book.bodies) + 1)) - {root}
    write("pdf", "book", NO_LIMIT + classic)
    write("pdf", "book-top-level", TOP_ONLY + classic)
    write("pdf", "book-object-stream", TWO_LEVELS + book.build_compressed(root, packed))
    write("pdf", "book-wrong-offsets", NO_LIMIT + book.build(root, offset_shift=5))
    write("pdf", "book-truncated", NO_LIMIT + classic[:len(classic) * 2 // 3])
    # The cross-reference structures beside one table or stream.
    write("pdf", "book-hybrid-marked-free", NO_LIMIT + pdfs.hybrid(book, root, True))
    write("pdf", "book-hybrid-left-out", TWO_LEVELS + pdfs.hybrid(book, root, False))
    write("pdf", "book-linearized", NO_LIMIT + pdfs.linearized(book, root))
    write("pdf", "book-updates", NO_LIMIT + pdfs.update_chain(book, root, 12))
    with open(os.path.join(HERE, "..", "samples", "sample.pdf"), "rb") as f:
        write("pdf", "sample", NO_LIMIT + f.read())

    # Encrypted with AES by qpdf (the hostile shapes below bring RC4).
    if shutil.which("qpdf"):
        with tempfile.TemporaryDirectory() as scratch:
            for name, seed, options in (
                    ("encrypted-aes-128", "book", ["128", "--use-aes=y"]),
                    ("encrypted-aes-256", "book", ["256"]),
                    ("encrypted-aes-256-object-stream", "book-object-stream", ["256"])):
                plain, encrypted = os.path.join(scratch, "in.pdf"), os.path.join(scratch, "out.pdf")
                with open(os.path.join(HERE, "corpus", "pdf", seed), "rb") as f:
                    depth = f.read(1)
                    with open(plain, "wb") as out:
                        out.write(f.read())
                subprocess.run(["qpdf", "--static-id", "--static-aes-iv", "--encrypt", "", "owner"]
                               + options + ["--", plain, encrypted], check=True)
                with open(encrypted, "rb") as f:
                    write("pdf", name, depth + f.read())
    else:
        print("make_seeds.py: no qpdf, the AES seeds are left as they are", file=sys.stderr)

    # Small versions of the hostile shapes: every loop, the odd titles and
    # destinations, encryption, the costs that used to escape the budgets.
    corpus_dir = os.path.join(HERE, "corpus", ".scratch")
    os.makedirs(corpus_dir, exist_ok=True)
    corpus = pdfs.Corpus(corpus_dir)
    pdfs.loops(corpus)
    pdfs.impossible_numbers(corpus)
    pdfs.escapes(corpus, small=True)
    pdfs.encryption(corpus)
    for name in (line.split("\t")[0] for line in corpus.expectations):
        path = os.path.join(corpus_dir, name)
        with open(path, "rb") as f:
            data = f.read()
        os.remove(path)
        if len(data) <= 16384:
            write("pdf", os.path.splitext(name)[0], NO_LIMIT + data)
    os.rmdir(corpus_dir)


# writer: a flag byte, then entries (see writer_fuzzer.cc).
def entry(page, text):
    return struct.pack(">i", page) + bytes([len(text)]) + text


def repeated(page, pattern, length):
    return struct.pack(">i", page) + b"\x80" + struct.pack(">I", length)[1:] + bytes([len(pattern)]) + pattern


def near_cut(page, pattern, extra):
    return struct.pack(">i", page) + b"\xc0" + bytes([extra, len(pattern)]) + pattern


def writer_seeds():
    write("writer", "empty", b"\x00")
    write("writer", "three-pages", b"\x01" + entry(0, b"Preface") + entry(1, b"  Part A") +
          entry(11, b"    Caf\xc3\xa9"))
    write("writer", "extreme-pages", b"\x00" + entry(-1, b"zero") + entry(-2, b"minus one") +
          entry(-2 ** 31, b"min") + entry(2 ** 31 - 1, b"max wraps") + entry(9, b"ten"))
    write("writer", "ascii-past-cut", b"\x01" + repeated(3, b"a", 70000))
    for name, pattern in (("two-byte", "\u00e9"), ("three-byte", "\u20ac"), ("four-byte", "\U0001F600"),
                          ("mixed", "a\u00e9\u20ac\U0001F600")):
        write("writer", "cut-" + name, b"\x00" + near_cut(99, pattern.encode(), 3) +
              near_cut(100000, pattern.encode(), 20) + near_cut(-2, pattern.encode(), 10))
    for name, pattern in (("lone-lead", b"\xc3"), ("overlong", b"\xe0\x80\x80"),
                          ("surrogate", b"\xed\xa0\x80"), ("beyond-max", b"\xf4\x90\x80\x80"),
                          ("truncated-four", b"\xf0\x9f\x98")):
        write("writer", "cut-invalid-" + name, b"\x00" + near_cut(5, b"x" + pattern, 7) +
              entry(6, pattern * 3))


# args: NUL-separated arguments, argument 0 first.
def args_seeds():
    for name, arguments in (
            ("plain", ["vellox", "book.pdf"]),
            ("depth", ["vellox", "book.pdf", "-ML", "2"]),
            ("depth-repeated", ["vellox", "book.pdf", "-ML", "-1", "-ML", "0"]),
            ("depth-atoi", ["vellox", "x.pdf", "-ML", " \t+0099999999999x"]),
            ("depth-negative-huge", ["vellox", "x.pdf", "-ML", "-99999999999"]),
            ("options-first", ["vellox", "-ML", "2", "book.pdf"]),
            ("dots", ["vellox", "../a/./b/../c.d.pdf"]),
            ("hidden", ["vellox", "/abs/dir.x/.hidden"]),
            ("trailing-slash", ["vellox", "dir.pdf/"]),
            ("pdr-input", ["vellox", "notes.pdr"]),
            ("windows-program-path", ["C:\\Program Files\\vellox.exe", "book.pdf"]),
            ("help", ["vellox", "-h", "--help", "--version"]),
            ("folder", ["vellox", "books/", "-j", "4"]),
            ("show", ["vellox", "--show", "x.pdr"]),
            ("utf8", ["vellox", "caf\u00e9/\u00e9t\u00e9.pdf"]),
            ("negative-number-value", ["vellox", "-5", "-ML", "-5"]),
            ("empty", ["vellox", ""]),
    ):
        write("args", name, b"\0".join(a.encode() for a in arguments))


if __name__ == "__main__":
    pdf_seeds()
    writer_seeds()
    args_seeds()
