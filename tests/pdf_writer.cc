#include "pdf_writer.h"

#include <zlib.h>

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
}

void PdfWriter::EndWithTable(const std::string& entries, const TableFaults& faults) {
  const std::uint64_t xref = offset_;
  if (!faults.noTable) {
    Write("xref\n0 " + std::to_string(entries_.size()) + "\n0000000000 65535 f \n");
    char line[32];
    for (std::size_t i = 1; i < entries_.size(); ++i) {
      const Entry& e = entries_[i];
      std::snprintf(line, sizeof line, "%010llu 00000 %c \n",
                    static_cast<unsigned long long>(e.type == 1 ? e.second + faults.offsetShift : 0),
                    e.type == 1 ? 'n' : 'f');
      Write(line);
    }
  }
  Write("trailer\n<< /Size " + std::to_string(entries_.size()) + " " + entries +
        " >>\n");
  EndWith(xref);
}

void PdfWriter::EndWithXrefStream(long number, const std::string& entries) {
  const std::uint64_t xref = offset_;
  Record(number, Entry{1, xref, 0});
  std::string rows;
  for (const Entry& e : entries_) {
    rows.push_back(static_cast<char>(e.type));
    for (int shift = 24; shift >= 0; shift -= 8) rows.push_back(static_cast<char>(e.second >> shift));
    rows.push_back(static_cast<char>(e.third >> 8));
    rows.push_back(static_cast<char>(e.third));
  }
  const std::string packed = Deflate(rows, Z_DEFAULT_COMPRESSION);
  AddObject(number, "<< /Type /XRef /Size " + std::to_string(entries_.size()) +
                        " /W [1 4 2] " + entries + " /Filter /FlateDecode /Length " +
                        std::to_string(packed.size()) + " >>\nstream\n" + packed +
                        "\nendstream");
  EndWith(xref);
}

void PdfWriter::Record(long number, const Entry& entry) {
  const auto at = static_cast<std::size_t>(number);
  if (at >= entries_.size()) entries_.resize(at + 1);
  entries_[at] = entry;
}

void PdfWriter::EndWith(std::uint64_t xref) {
  Write("startxref\n" + std::to_string(xref) + "\n%%EOF\n");
}

}  // namespace testing
}  // namespace vellox
