#ifndef VELLOX_PDF_BUDGETS_H_
#define VELLOX_PDF_BUDGETS_H_

#include <cstddef>
#include <cstdint>

namespace vellox {
namespace pdf {

// What a reader spends on one document at most: every budget of the
// built-in reader, of the document logic both readers share and of the
// reader over qpdf. Past one of the built-in reader's, a file is hostile or
// absurd and the reader stops with ReadFault::kLimit; the others say below
// what they do. Each is far above what a real book needs.

constexpr std::size_t kMebibyte = std::size_t{1} << 20;

// Inflated bytes over the whole document: bounds the work a file with many
// compressed streams can cause, and the memory of the object streams,
// which are kept once inflated.
constexpr std::uint64_t kMaxInflatedBytesPerDocument = std::uint64_t{256} * kMebibyte;
// Inflated (or stored) bytes of one stream: a deflate bomb stops here, and
// one stream is all that is held at a time while decoding.
constexpr std::size_t kMaxStreamBytes = 64 * kMebibyte;
// Decrypted stream bytes over the whole document, as inflated ones: each
// object stream is decrypted once, but a file may hold many large ones.
constexpr std::uint64_t kMaxDecryptedBytesPerDocument = std::uint64_t{256} * kMebibyte;
// Objects fetched per document: a 1,000,000-item outline, its page tree
// and its destinations, several times over.
constexpr std::uint64_t kMaxObjectsResolved = 20000000;
// Object text parsed over the whole document: one huge object that many
// others refer to must not be parsed again and again without end.
constexpr std::uint64_t kMaxParsedBytesPerDocument = std::uint64_t{2048} * kMebibyte;
// References followed from one reference to a direct object: chains of
// references to references exist only in hostile files.
constexpr int kMaxReferenceHops = 32;
// Bytes of cross-reference sections (tables, trailers, streams) read in a
// /Prev chain, per byte of the file, and beyond: a real file reads each
// section once, however many incremental updates it has had, and they
// are part of its size.
constexpr std::uint64_t kXrefBytesPerFileByte = 2;
constexpr std::uint64_t kXrefBytesBeyondFileSize = kMebibyte;
// The highest object number: keeps the entry table's index within 23 bits.
constexpr std::uint32_t kMaxObjectNumber = 8388607;
// The text of one object: the reader reads no more than this to find its end.
constexpr std::size_t kMaxObjectBytes = 64 * kMebibyte;
// Arrays and dictionaries inside one another: the parser recurses, and so
// does the copy of qpdf's objects, which reads deeper ones as null.
constexpr int kMaxNestingDepth = 256;
// Values in one object (all its arrays and dictionaries together): bounds
// the memory one parsed object takes, about 100 bytes per value.
constexpr std::size_t kMaxObjectValues = std::size_t{1} << 20;
// Bytes of one string; longer ones are cut, not refused: a bookmark's
// record holds 65,000 bytes at most.
constexpr std::size_t kMaxStringBytes = 4 * kMebibyte;
// Objects of at least this much text that are fetched a second time are
// kept, up to this much text in all: an action or destination that many
// items share is parsed once. Smaller ones cost little to parse again.
constexpr std::uint64_t kKeptObjectMinBytes = 1024;
constexpr std::uint64_t kKeptObjectBytes = 64 * kMebibyte;
// Object streams loading one another through indirect /Length values.
constexpr int kMaxObjectStreamNesting = 8;

// The document logic's, for both readers.

// Look-ups followed one after another (named destination to dictionary to
// array ...) before a destination counts as none: real files need two or
// three.
constexpr int kMaxDestinationHops = 32;
// Nodes of the page label number tree read at most: real trees have one or
// a few. The labels found until then stand.
constexpr std::size_t kMaxPageLabelNodes = 4096;
// Page label ranges kept at most; a document has one per page at the very
// most.
constexpr std::size_t kMaxPageLabelRanges = std::size_t{1} << 20;
// The longest printed page label, in UTF-16 code units: a hostile /St
// would otherwise ask for millions of letters per page. A longer one is
// none.
constexpr std::size_t kMaxPageLabelLength = 128;

// The reader over qpdf's, besides the stream budgets above, which its
// decoders keep too.

// Bytes of a file the repairing reader (over qpdf) may read, per byte of
// the file, and beyond: qpdf reads a sound file once at most and scans a
// damaged one a few times, but follows overlapping cross-reference
// sections as if each were all new.
constexpr std::uint64_t kRepairReadBytesPerFileByte = 16;
constexpr std::uint64_t kRepairReadBytesBeyondFileSize = 16 * kMebibyte;
// Memory one read through qpdf may hold (its objects, the outline), per
// byte of the file, and beyond. qpdf takes some 2 KB for each object it
// builds: a file of objects a hundred-odd bytes long each (a million
// bookmarks, damaged) reads within 16 times its size, a damaged book
// within a few times. The part beyond the file's size is for what object
// streams inflate to, a few times less than the 256 MiB a document may
// inflate: small objects packed in a stream take a hundred times their
// compressed size or more, and a small file whose objects would take
// gigabytes is refused.
constexpr std::uint64_t kRepairMemoryPerFileByte = 16;
constexpr std::uint64_t kRepairMemoryBeyondFileSize = 256 * kMebibyte;
// What qpdf may still allocate once past that, to record the failure and
// unwind: then every allocation fails.
constexpr std::uint64_t kRepairMemoryReserve = 16 * kMebibyte;

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_BUDGETS_H_
