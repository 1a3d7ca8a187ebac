#include "pdf_writer.h"

#include <zlib.h>

#include <algorithm>

#include "deflate.h"

namespace vellox {
namespace testing {

FileOutput::FileOutput(const std::string& path)
    : file_(std::fopen(path.c_str(), "wb")), ok_(file_ != nullptr) {}

FileOutput::~FileOutput() {
  if (file_ != nullptr) std::fclose(file_);
}

void FileOutput::Write(const char* data, std::size_t size) {
  ok_ = ok_ && std::fwrite(data, 1, size, file_) == size;
}

bool FileOutput::Close() {
  if (file_ == nullptr) return false;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed && ok_;
}

PdfWriter::PdfWriter(PdfOutput* output, const std::string& version) : output_(output) {
  Write("%PDF-" + version + "\n%\xE2\xE3\xCF\xD3\n");
  entries_.push_back(Entry{0, 0, 65535});
}

void PdfWriter::Write(const char* data, std::size_t size) {
  output_->Write(data, size);
  offset_ += size;
}

void PdfWriter::AddObject(long number, const std::string& body) {
  BeginObject(number);
  Write(body);
  EndObject();
}

void PdfWriter::BeginObject(long number) {
  Record(number, Entry{1, offset_, 0});
  Write(std::to_string(number) + " 0 obj\n");
}

void PdfWriter::EndObject() { Write("\nendobj\n"); }

void PdfWriter::AddObjectStream(long number,
                                const std::vector<std::pair<long, std::string>>& objects) {
  std::string header;
  std::string data;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    header += std::to_string(objects[i].first) + " " + std::to_string(data.size()) + " ";
    data += objects[i].second + "\n";
    Record(objects[i].first,
           Entry{2, static_cast<std::uint64_t>(number), static_cast<std::uint32_t>(i)});
  }
  const std::string packed = Deflate(header + data, Z_DEFAULT_COMPRESSION);
  AddObject(number, "<< /Type /ObjStm /N " + std::to_string(objects.size()) + " /First " +
                        std::to_string(header.size()) + " /Filter /FlateDecode /Length " +
                        std::to_string(packed.size()) + " >>\nstream\n" + packed +
                        "\nendstream");
  if (static_cast<std::size_t>(number) >= objectStreams_.size())
    objectStreams_.resize(static_cast<std::size_t>(number) + 1);
  objectStreams_[static_cast<std::size_t>(number)] = true;
}

void PdfWriter::EndWithTable(const std::string& entries, const TableFaults& faults) {
  const std::uint64_t xref = offset_;
  if (!faults.noTable) {
    WriteTable(AllNumbers(), faults.offsetShift);
  }
  Write("trailer\n<< /Size " + std::to_string(entries_.size()) + " " + entries +
        " >>\n");
  EndWith(xref);
}

void PdfWriter::EndWithXrefStream(long number, const std::string& entries) {
  const std::uint64_t xref = offset_;
  Record(number, Entry{1, xref, 0});
  WriteXrefStream(number, AllNumbers(), entries);
  EndWith(xref);
}

void PdfWriter::EndWithHybrid(long number, const std::string& entries, bool markFree) {
  std::vector<long> inStream;
  std::vector<long> inTable;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const bool objectStream = i < objectStreams_.size() && objectStreams_[i];
    (entries_[i].type == 2 || objectStream ? inStream : inTable).push_back(static_cast<long>(i));
  }
  const std::uint64_t stream = offset_;
  Record(number, Entry{1, stream, 0});
  inStream.push_back(number);
  WriteXrefStream(number, inStream, "");
  const std::uint64_t xref = offset_;
  if (markFree) {
    WriteTable(AllNumbers(), 0, inStream);
  } else {
    WriteTable(inTable, 0);
  }
  Write("trailer\n<< /Size " + std::to_string(entries_.size()) + " /XRefStm " +
        std::to_string(stream) + " " + entries + " >>\n");
  EndWith(xref);
}

void PdfWriter::FreeObject(long number) { Record(number, Entry{0, 0, 1}); }

void PdfWriter::EndUpdateWithTable(const std::string& entries) {
  const std::uint64_t xref = offset_;
  WriteTable(Changed(), 0);
  Write("trailer\n<< /Size " + std::to_string(entries_.size()) + " " + Prev() + " " +
        entries + " >>\n");
  EndWith(xref);
}

void PdfWriter::EndUpdateWithXrefStream(long number, const std::string& entries) {
  const std::uint64_t xref = offset_;
  Record(number, Entry{1, xref, 0});
  WriteXrefStream(number, Changed(), Prev() + " " + entries);
  EndWith(xref);
}

void PdfWriter::Record(long number, const Entry& entry) {
  const auto at = static_cast<std::size_t>(number);
  if (at >= entries_.size()) entries_.resize(at + 1);
  if (at >= changed_.size()) changed_.resize(at + 1);
  entries_[at] = entry;
  changed_[at] = true;
}

void PdfWriter::WriteTable(const std::vector<long>& numbers, std::uint64_t offsetShift,
                           const std::vector<long>& markedFree) {
  Write("xref\n");
  char line[32];
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t end = i + 1;
    while (end < numbers.size() && numbers[end] == numbers[end - 1] + 1) ++end;
    Write(std::to_string(numbers[i]) + " " + std::to_string(end - i) + "\n");
    for (; i < end; ++i) {
      const Entry& e = entries_[static_cast<std::size_t>(numbers[i])];
      if (std::find(markedFree.begin(), markedFree.end(), numbers[i]) != markedFree.end()) {
        Write("0000000000 65535 f \n");
        continue;
      }
      // Free entries carry their generation (65535 for the list's head,
      // 1 for an object deleted); an object stream's objects, none.
      std::snprintf(line, sizeof line, "%010llu %05u %c \n",
                    static_cast<unsigned long long>(e.type == 1 ? e.second + offsetShift : 0),
                    e.type == 0 ? e.third : 0u, e.type == 1 ? 'n' : 'f');
      Write(line);
    }
  }
}

void PdfWriter::WriteXrefStream(long number, std::vector<long> numbers,
                                const std::string& entries) {
  std::sort(numbers.begin(), numbers.end());
  std::string index;
  std::string rows;
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t end = i + 1;
    while (end < numbers.size() && numbers[end] == numbers[end - 1] + 1) ++end;
    index += std::to_string(numbers[i]) + " " + std::to_string(end - i) + " ";
    for (; i < end; ++i) {
      const Entry& e = entries_[static_cast<std::size_t>(numbers[i])];
      rows.push_back(static_cast<char>(e.type));
      for (int shift = 24; shift >= 0; shift -= 8)
        rows.push_back(static_cast<char>(e.second >> shift));
      rows.push_back(static_cast<char>(e.third >> 8));
      rows.push_back(static_cast<char>(e.third));
    }
  }
  // Rows for every number from 0 need no /Index.
  if (numbers.size() == entries_.size()) index.clear();
  const std::string packed = Deflate(rows, Z_DEFAULT_COMPRESSION);
  AddObject(number, "<< /Type /XRef /Size " + std::to_string(entries_.size()) + " /W [1 4 2] " +
                        (index.empty() ? std::string() : "/Index [" + index + "] ") + entries +
                        " /Filter /FlateDecode /Length " + std::to_string(packed.size()) +
                        " >>\nstream\n" + packed + "\nendstream");
}

std::vector<long> PdfWriter::AllNumbers() const {
  std::vector<long> numbers;
  for (std::size_t i = 0; i < entries_.size(); ++i) numbers.push_back(static_cast<long>(i));
  return numbers;
}

std::vector<long> PdfWriter::Changed() const {
  std::vector<long> numbers;
  for (std::size_t i = 0; i < changed_.size(); ++i)
    if (changed_[i]) numbers.push_back(static_cast<long>(i));
  return numbers;
}

std::string PdfWriter::Prev() const { return "/Prev " + std::to_string(lastSection_); }

void PdfWriter::EndWith(std::uint64_t xref) {
  Write("startxref\n" + std::to_string(xref) + "\n%%EOF\n");
  lastSection_ = xref;
  changed_.assign(changed_.size(), false);
}

}  // namespace testing
}  // namespace vellox
