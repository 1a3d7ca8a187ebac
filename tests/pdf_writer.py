"""Writes PDF files as bytes: numbered objects and the cross-reference
section that finds them, a classic table and trailer or a cross-reference
stream over an object stream. Bodies are verbatim, so that any structure
can be written, broken or not.

The Python side of tests/pdf_writer.h, for the generators of the sample,
the hostile-input corpus and the fuzz seeds. Standard library only; the
same input writes the same bytes on every run.
"""
import struct
import zlib


def header(version):
    return b"%PDF-" + version + b"\n%\xe2\xe3\xcf\xd3\n"


def ref(number):
    return b"%d 0 R" % number


# Slack in a dictionary, so that an entry can be rewritten in place
# without moving any object behind it (see patch).
PAD = b" " * 64


def stream(dictionary, data, length=None, pad=False):
    """A stream object body; `length` overrides the true /Length."""
    value = b"%d" % len(data) if length is None else length
    return (b"<< " + dictionary + b" /Length " + value + (PAD if pad else b"") +
            b" >>\nstream\n" + data + b"\nendstream")


def patch(data, start, old, new):
    """Replaces the first `old` at or after `start` with `new`, taking the
    difference out of the next PAD: every offset stays right."""
    i = data.index(old, start)
    data = data[:i] + new + data[i + len(old):]
    delta = len(new) - len(old)
    j = data.index(PAD, i + len(new))
    assert delta <= len(PAD)
    return data[:j] + data[j + delta:] if delta > 0 else data[:j] + b" " * -delta + data[j:]


def object_pair(number, offset):
    """An object stream's header entry: the object's number and where its
    body starts in the stream."""
    return b"%d %d" % (number, offset)


class Writer:
    """A file written front to back: the header, objects at the offsets it
    records, and at the end the cross-reference section made from them.
    After the end, incremental updates: objects written again (or freed)
    and a section that lists what changed, with /Prev to the last."""

    def __init__(self, version=b"1.7"):
        self.parts = [header(version)]
        self.size = len(self.parts[0])
        # Cross-reference rows by object number: (type, field 2, field 3).
        self.rows = {0: (0, 0, 65535)}
        self.object_streams = set()
        self.changed = set()  # since the last section
        self.last_section = None

    def write(self, data):
        self.parts.append(data)
        self.size += len(data)

    def object(self, number, body):
        self.rows[number] = (1, self.size, 0)
        self.changed.add(number)
        self.write(b"%d 0 obj\n" % number + body + b"\nendobj\n")

    def free(self, number):
        """Deletes object `number` in the update being written."""
        self.rows[number] = (0, 0, 1)
        self.changed.add(number)

    def object_stream(self, number, objects, pair=object_pair, compress=zlib.compress):
        """Object `number` as an object stream holding `objects` (number,
        body). `pair` writes the header's entries, `compress` the stream's
        data: a test may make either lie. The dictionary has a PAD."""
        heads, data = [], b""
        for index, (n, body) in enumerate(objects):
            heads.append(pair(n, len(data)))
            data += body + b"\n"
            self.rows[n] = (2, number, index)
            self.changed.add(n)
        head = b" ".join(heads) + b"\n"
        self.object(number, stream(b"/Type /ObjStm /N %d /First %d /Filter /FlateDecode"
                                   % (len(objects), len(head)), compress(head + data), pad=True))
        self.object_streams.add(number)

    def table(self, numbers, offset_shift=0, marked_free=()):
        """A classic table of these objects' rows, in subsections; those
        `marked_free` listed as free whatever they are."""
        numbers = sorted(numbers)
        lines = [b"xref\n"]
        i = 0
        while i < len(numbers):
            end = i + 1
            while end < len(numbers) and numbers[end] == numbers[end - 1] + 1:
                end += 1
            lines.append(b"%d %d\n" % (numbers[i], end - i))
            for number in numbers[i:end]:
                kind, offset, third = self.rows.get(number, (0, 0, 0))
                if number in marked_free:
                    lines.append(b"0000000000 65535 f \n")
                else:
                    lines.append(b"%010d %05d %s \n" % (offset + offset_shift if kind == 1 else 0,
                                                         third if kind == 0 else 0,
                                                         b"n" if kind == 1 else b"f"))
            i = end
        self.write(b"".join(lines))

    def xref_stream(self, number, numbers, entries, rows=None):
        """A cross-reference stream, object `number` (listed too), of these
        objects' rows; `rows` (number: row) replace the rows it would
        write."""
        self.rows[number] = (1, self.size, 0)
        listed = {n: self.rows.get(n, (0, 0, 0)) for n in set(numbers) | {number}}
        listed.update(rows or {})
        numbers = sorted(listed)
        index, i = [], 0
        while i < len(numbers):
            end = i + 1
            while end < len(numbers) and numbers[end] == numbers[end - 1] + 1:
                end += 1
            index.append(b"%d %d" % (numbers[i], end - i))
            i = end
        data = b"".join(struct.pack(">BIH", *listed[n]) for n in numbers)
        count = max(max(self.rows), max(numbers)) + 1
        # Rows for every number from 0 need no /Index.
        index = b"" if numbers == list(range(count)) else b" /Index [%s]" % b" ".join(index)
        self.object(number, stream(b"/Type /XRef /Size %d /W [1 4 2]%s %s /Filter /FlateDecode"
                                   % (count, index, entries), zlib.compress(data)))

    def end_with_table(self, entries, offset_shift=0):
        """The file, ended by a classic table of objects 1 to N - 1 and the
        trailer << /Size N `entries` >>; every offset listed off by
        `offset_shift`."""
        xref = self.size
        count = max(self.rows) + 1
        self.table(range(count), offset_shift)
        self.write(b"trailer\n<< /Size %d %s >>\n" % (count, entries))
        return self.end(xref)

    def end_with_xref_stream(self, number, entries, rows=None):
        """The file, ended by a compressed cross-reference stream, object
        `number`, with `entries` in its dictionary; `rows` (number: row)
        replace the rows it would write."""
        xref = self.size
        self.xref_stream(number, range(max(self.rows) + 1), entries, rows)
        return self.end(xref)

    def end_with_hybrid(self, number, entries, mark_free=True):
        """The file, ended by a hybrid section as word processors write it:
        a cross-reference stream, object `number`, finds the objects in
        object streams and the object streams; a classic table, whose
        trailer names the stream by /XRefStm, the rest. `mark_free`: the
        table lists what only the stream finds as free entries, as in the
        PDF reference's example; otherwise it leaves them out."""
        hidden = {n for n, (kind, _, _) in self.rows.items() if kind == 2} | self.object_streams
        stream_at = self.size
        self.xref_stream(number, hidden, b"")
        hidden.add(number)
        xref = self.size
        count = max(self.rows) + 1
        if mark_free:
            self.table(range(count), marked_free=hidden)
        else:
            self.table(n for n in range(count) if n not in hidden)
        self.write(b"trailer\n<< /Size %d /XRefStm %d %s >>\n" % (count, stream_at, entries))
        return self.end(xref)

    def end_update_with_table(self, entries):
        """The file, ended by an update's table of what changed since the
        last section, and << /Size N /Prev ... `entries` >>."""
        xref = self.size
        self.table(self.changed)
        self.write(b"trailer\n<< /Size %d /Prev %d %s >>\n"
                   % (max(self.rows) + 1, self.last_section, entries))
        return self.end(xref)

    def end_update_with_xref_stream(self, number, entries):
        """The same with a cross-reference stream, object `number`."""
        xref = self.size
        self.xref_stream(number, self.changed, b"/Prev %d %s" % (self.last_section, entries))
        return self.end(xref)

    def end(self, xref):
        """The file, ended by startxref pointing at `xref`."""
        self.write(b"startxref\n%d\n%%%%EOF\n" % xref)
        self.last_section = xref
        self.changed = set()
        return b"".join(self.parts)


class Pdf:
    """Numbered objects, written into a file only when it is built, in any
    of the forms Writer has."""

    def __init__(self):
        self.bodies = []  # object n at n - 1

    def add(self, body=b"null"):
        self.bodies.append(body)
        return len(self.bodies)

    def set(self, number, body):
        self.bodies[number - 1] = body

    def build(self, root, trailer=b"", offset_shift=0):
        """With a classic table; `trailer`, more trailer entries."""
        writer = Writer()
        for number, body in enumerate(self.bodies, 1):
            writer.object(number, body)
        return writer.end_with_table(b"/Root %s %s" % (ref(root), trailer), offset_shift)

    def build_compressed(self, root, packed, pair=object_pair, compress=zlib.compress, rows=None,
                         trailer=b""):
        """The objects numbered in `packed` go into one object stream, the
        rest stay plain; a cross-reference stream lists them all. `pair`
        and `compress` as for Writer.object_stream, `rows` as for
        Writer.end_with_xref_stream; `trailer`, more trailer entries."""
        writer = Writer()
        for number, body in enumerate(self.bodies, 1):
            if number not in packed:
                writer.object(number, body)
        objstm = len(self.bodies) + 1
        writer.object_stream(objstm, [(n, self.bodies[n - 1]) for n in range(1, objstm) if n in packed],
                             pair, compress)
        entries = b"/Root %s" % ref(root) + (b" " + trailer if trailer else b"")
        return writer.end_with_xref_stream(objstm + 1, entries, rows)
