"""Encrypts test PDFs with the standard security handler's RC4 side
(revisions 2 to 4), as pdf_writer.Pdf holds them: the /Encrypt
dictionary, and each object's strings (or an object stream's data) under
that object's key. Passwords are any bytes; unlike the writers users
meet, an empty owner password stays empty, so that files whose owner
password alone opens them can be made. Standard library only, and the
output is the same on every run (the file's /ID is fixed). AES files come
from qpdf.
"""
import hashlib
import struct
import zlib

from pdf_writer import Pdf

PADDING = bytes.fromhex("28BF4E5E4E758A4164004E56FFFA01082E2E00B6D0683E802F0CA9FE6453697A")
FILE_ID = b"vellox test file"


def rc4(key, data):
    state = list(range(256))
    j = 0
    for i in range(256):
        j = (j + state[i] + key[i % len(key)]) & 255
        state[i], state[j] = state[j], state[i]
    out = bytearray()
    i = j = 0
    for byte in data:
        i = (i + 1) & 255
        j = (j + state[i]) & 255
        state[i], state[j] = state[j], state[i]
        out.append(byte ^ state[(state[i] + state[j]) & 255])
    return bytes(out)


def md5(data):
    return hashlib.md5(data).digest()


def padded(password):
    return (password + PADDING)[:32]


class Rc4Encryption:
    def __init__(self, revision=3, user=b"", owner=b"owner", permissions=-4,
                 encrypt_metadata=True):
        self.revision = revision
        self.permissions = permissions
        self.encrypt_metadata = encrypt_metadata
        self.key_bytes = 5 if revision == 2 else 16
        self.owner_entry = self._owner_entry(user, owner)
        self.key = self._file_key(user)
        self.user_entry = self._user_entry()

    def _rounds(self, key, data):
        """RC4, then 19 more times with the key's bytes XORed with 1 to 19."""
        data = rc4(key, data)
        if self.revision >= 3:
            for i in range(1, 20):
                data = rc4(bytes(k ^ i for k in key), data)
        return data

    def _owner_entry(self, user, owner):
        digest = md5(padded(owner))
        if self.revision >= 3:
            for _ in range(50):
                digest = md5(digest)
        return self._rounds(digest[:self.key_bytes], padded(user))

    def _file_key(self, user):
        digest = md5(padded(user) + self.owner_entry + struct.pack("<i", self.permissions) +
                     FILE_ID + (b"\xff" * 4 if self.revision >= 4 and not self.encrypt_metadata
                                else b""))
        if self.revision >= 3:
            for _ in range(50):
                digest = md5(digest[:self.key_bytes])
        return digest[:self.key_bytes]

    def _user_entry(self):
        if self.revision == 2:
            return rc4(self.key, PADDING)
        return self._rounds(self.key, md5(PADDING + FILE_ID)) + bytes(16)

    def dictionary(self):
        kind = {2: b"/V 1 /R 2", 3: b"/V 2 /R 3 /Length 128",
                4: b"/V 4 /R 4 /Length 128 /CF << /StdCF << /CFM /V2 /AuthEvent /DocOpen"
                   b" /Length 16 >> >> /StmF /StdCF /StrF /StdCF"}[self.revision]
        if not self.encrypt_metadata:
            kind += b" /EncryptMetadata false"
        return (b"<< /Filter /Standard %s /O <%s> /U <%s> /P %d >>"
                % (kind, self.owner_entry.hex().encode(), self.user_entry.hex().encode(),
                   self.permissions))

    def trailer(self, number):
        """The trailer's entries, the dictionary being object `number`."""
        return b"/Encrypt %d 0 R /ID [<%s> <%s>]" % (number, FILE_ID.hex().encode(),
                                                     FILE_ID.hex().encode())

    def data(self, number, data):
        """Bytes of object `number` (generation 0), encrypted."""
        key = md5(self.key + number.to_bytes(3, "little") + bytes(2))[:self.key_bytes + 5]
        return rc4(key, data)

    def strings(self, number, body):
        """`body` with each string encrypted, written in hex. Literal and
        hex strings; no streams, no comments."""
        out, i = [], 0
        while i < len(body):
            if body.startswith(b"<<", i) or body.startswith(b">>", i):
                out.append(body[i:i + 2])
                i += 2
            elif body[i:i + 1] == b"<":
                end = body.index(b">", i)
                digits = bytes(c for c in body[i + 1:end] if chr(c) in "0123456789abcdefABCDEF")
                out.append(self._hex(number, bytes.fromhex((digits + b"0" * (len(digits) % 2))
                                                           .decode())))
                i = end + 1
            elif body[i:i + 1] == b"(":
                text, i = literal_string(body, i)
                out.append(self._hex(number, text))
            else:
                out.append(body[i:i + 1])
                i += 1
        return b"".join(out)

    def _hex(self, number, text):
        return b"<" + self.data(number, text).hex().upper().encode() + b">"


def literal_string(body, start):
    """The bytes of the literal string at `start`, and where it ends."""
    escapes = {ord("n"): b"\n", ord("r"): b"\r", ord("t"): b"\t", ord("b"): b"\b",
               ord("f"): b"\f"}
    text, depth, i = bytearray(), 1, start + 1
    while depth:
        c = body[i]
        i += 1
        if c == ord("\\"):
            e = body[i]
            i += 1
            if e in escapes:
                text += escapes[e]
            elif ord("0") <= e <= ord("7"):
                digits = body[i - 1:i + 2]
                n = len(digits) - len(digits.lstrip(b"01234567"))
                text.append(int(digits[:n], 8) & 255)
                i += n - 1
            elif e not in b"\r\n":
                text.append(e)
            continue
        if c == ord("("):
            depth += 1
        elif c == ord(")"):
            depth -= 1
            if depth == 0:
                break
        text.append(c)
    return bytes(text), i


def encrypted(pdf, root, encryption, packed=(), dictionary=None):
    """The file of `pdf`, encrypted: classic, or with the objects numbered
    in `packed` in an object stream (see Pdf.build_compressed).
    `dictionary` replaces the encryption dictionary's text."""
    copy = Pdf()
    copy.bodies = [body if n in packed else encryption.strings(n, body)
                   for n, body in enumerate(pdf.bodies, 1)]
    trailer = encryption.trailer(copy.add(dictionary or encryption.dictionary()))
    if not packed:
        return copy.build(root, trailer)
    objstm = len(copy.bodies) + 1
    return copy.build_compressed(root, set(packed), trailer=trailer,
                                 compress=lambda data: encryption.data(objstm, zlib.compress(data)))
