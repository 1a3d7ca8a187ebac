#ifndef VELLOX_TESTS_PDF_WRITER_H_
#define VELLOX_TESTS_PDF_WRITER_H_

#include <cstdint>
#include <cstdio>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace vellox {
namespace testing {

// Where a PdfWriter's bytes go.
class PdfOutput {
 public:
  virtual ~PdfOutput() = default;
  virtual void Write(const char* data, std::size_t size) = 0;
};

// Into a string.
class StringOutput : public PdfOutput {
 public:
  explicit StringOutput(std::string* bytes) : bytes_(bytes) {}
  void Write(const char* data, std::size_t size) override { bytes_->append(data, size); }

 private:
  std::string* bytes_;
};

// Into a file, as they come: a generated file may be far larger than
// memory.
class FileOutput : public PdfOutput {
 public:
  explicit FileOutput(const std::string& path);
  ~FileOutput() override;
  FileOutput(const FileOutput&) = delete;
  FileOutput& operator=(const FileOutput&) = delete;

  void Write(const char* data, std::size_t size) override;
  // False when the file did not open or any write or the close failed.
  bool Close();

 private:
  std::FILE* file_;
  bool ok_;
};

// Damage EndWithTable can do, for the readers' repair paths.
struct TableFaults {
  std::uint64_t offsetShift = 0;  // added to every offset listed
  bool noTable = false;           // the trailer follows the objects directly
};

// Writes a PDF's file structure in one pass: the header, numbered
// objects, and the cross-reference section that finds them, made from the
// offsets seen on the way. Bodies are verbatim, so that any structure can
// be written, broken ones included.
class PdfWriter {
 public:
  // Writes the header, "%PDF-<version>" and a line of high bytes.
  PdfWriter(PdfOutput* output, const std::string& version);

  // "N 0 obj", `body`, "endobj"; the cross-reference lists it here.
  void AddObject(long number, const std::string& body);
  // The same in parts, for a body too large to hold: BeginObject, any
  // number of Write calls, EndObject.
  void BeginObject(long number);
  void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
  void Write(const char* data, std::size_t size);
  void EndObject();
  // Object `number` as a compressed object stream holding `objects`
  // (number, body), which the cross-reference then finds inside it.
  void AddObjectStream(long number, const std::vector<std::pair<long, std::string>>& objects);

  // Ends the file with a classic cross-reference table and the trailer
  // "<< /Size N `entries` >>".
  void EndWithTable(const std::string& entries, const TableFaults& faults = TableFaults());
  // Ends the file with a compressed cross-reference stream, object
  // `number`, with `entries` in its dictionary.
  void EndWithXrefStream(long number, const std::string& entries);
  // Ends the file with a hybrid section, as word processors write them: a
  // cross-reference stream, object `number`, for the objects in object
  // streams and the object streams themselves, and a classic table for
  // the rest, whose trailer "<< /Size N /XRefStm ... `entries` >>" names
  // the stream. With `markFree` the table lists what only the stream finds
  // as free entries ("0000000000 65535 f"), as in the PDF reference's
  // example; otherwise it leaves them out.
  void EndWithHybrid(long number, const std::string& entries, bool markFree);

  // An incremental update: after the file's end, objects added again
  // replace their earlier bodies, FreeObject deletes one, and a section
  // that lists only what changed since the last, with /Prev to it, ends
  // the file again.
  void FreeObject(long number);
  void EndUpdateWithTable(const std::string& entries);
  void EndUpdateWithXrefStream(long number, const std::string& entries);

  // Bytes written so far.
  std::uint64_t Offset() const { return offset_; }

 private:
  // One cross-reference entry: type 0 (free, or never written), 1 (at
  // offset `second`) or 2 (in object stream `second`, at index `third`).
  struct Entry {
    int type = 0;
    std::uint64_t second = 0;
    std::uint32_t third = 0;
  };
  void Record(long number, const Entry& entry);
  // A table of these object numbers' entries, in subsections; those
  // `markedFree` as free entries whatever they are.
  void WriteTable(const std::vector<long>& numbers, std::uint64_t offsetShift,
                  const std::vector<long>& markedFree = {});
  // A cross-reference stream, object `number`, listing these objects.
  void WriteXrefStream(long number, std::vector<long> numbers, const std::string& entries);
  // Every object number from 0; those changed since the last section,
  // and "/Prev N" to it.
  std::vector<long> AllNumbers() const;
  std::vector<long> Changed() const;
  std::string Prev() const;
  void EndWith(std::uint64_t xref);

  PdfOutput* output_;
  std::uint64_t offset_ = 0;
  std::vector<Entry> entries_;  // by object number, 0 the head of the free list
  std::vector<bool> changed_;   // by object number: since the last section
  std::vector<bool> objectStreams_;  // by object number
  std::uint64_t lastSection_ = 0;
};

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_PDF_WRITER_H_
