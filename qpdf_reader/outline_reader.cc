#include "qpdf_reader/outline_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/Pipeline.hh>

#include "pdf/outline_builder.h"
#include "platform/files.h"
#include "platform/heap.h"
#include "qpdf_reader/qpdf_object_source.h"

namespace vellox {
namespace qpdf_reader {
namespace {

// A file is taken for a PDF when its header starts within this many bytes,
// as PDF readers commonly allow.
constexpr std::size_t kHeaderWindow = 1024;

std::string Describe(const QPDFExc& e) { return DescribeQpdfError(e); }

std::string MessageOf(const std::exception& e) { return DescribeQpdfError(e); }

// The warning that says most: qpdf opens with a bare "file is damaged"
// before naming the damage.
std::string FirstTellingWarning(const std::vector<QPDFExc>& warnings) {
  for (const QPDFExc& warning : warnings)
    if (warning.getMessageDetail() != "file is damaged") return Describe(warning);
  return Describe(warnings.front());
}

using pdf::kCannotOpen;
using pdf::kDamagedBeyondRepair;
using pdf::kNeedsPassword;
using pdf::kNotPdf;
using pdf::kUnsupported;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A file's bytes. Not a std::string: that would zero every byte before
// reading over it, which costs as much as the read on a big file.
struct FileBytes {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;
};

// Reads the whole file at `path`; on failure leaves the reason in
// `message`. Parsing from memory beats qpdf's own file reading, which
// seeks before every read.
HRESULT ReadFile(const std::string& path, FileBytes* bytes, std::string* message) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    const int error = errno;
    *message = platform::ErrorText(error);
    return kCannotOpen;
  }
  struct stat info;
  if (fstat(fileno(file.get()), &info) != 0) {
    const int error = errno;
    *message = platform::ErrorText(error);
    return kCannotOpen;
  }
  if (S_ISDIR(info.st_mode)) {
    *message = "is a directory";
    return kCannotOpen;
  }
  // Devices could be endless; only a file has a known end.
  if (!S_ISREG(info.st_mode)) {
    *message = "not a regular file";
    return kCannotOpen;
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  platform::TuneHeap(size);  // before the buffer, which the heap may then hold
  bytes->data.reset(new char[size == 0 ? 1 : size]);
  bytes->size = std::fread(bytes->data.get(), 1, size, file.get());
  if (bytes->size < size && std::ferror(file.get())) {
    const int error = errno;
    *message = platform::ErrorText(error);
    return kCannotOpen;
  }
  return S_OK;  // short when the file shrank meanwhile
}

bool HasPdfHeader(const FileBytes& bytes) {
  const char* begin = bytes.data.get();
  const char* end = begin + std::min(bytes.size, kHeaderWindow);
  static const char kHeader[] = "%PDF-";
  return std::search(begin, end, kHeader, kHeader + 5) != end;
}

// qpdf decodes an object stream whole as soon as one object in it is
// needed, and Flate shrinks a run of bytes a thousandfold: a file of a few
// megabytes could make it allocate gigabytes. Real object streams stay far
// below this.
constexpr std::size_t kMaxObjectStreamBytes = std::size_t{256} << 20;

// Counts decoded bytes and stops the decoding once they pass the limit.
class DecodedSizeLimit : public Pipeline {
 public:
  DecodedSizeLimit() : Pipeline("object stream size limit", nullptr) {}
  void write(unsigned char const*, size_t length) override {
    total += length;
    if (total > kMaxObjectStreamBytes) {
      exceeded = true;
      throw std::length_error("object stream too large");
    }
  }
  void finish() override {}
  bool exceeded = false;

 private:
  std::size_t total = 0;
};

// Empties, before anything is read from it, every object stream that
// decodes to more than the limit; its objects then read as null. Returns
// a note for the warning, or "" when every object stream is within it.
std::string EmptyOversizedObjectStreams(QPDF* pdf) {
  std::set<int> streams;
  for (const auto& entry : pdf->getXRefTable())
    if (entry.second.getType() == 2) streams.insert(entry.second.getObjStreamNumber());
  std::string note;
  for (int number : streams) {
    DecodedSizeLimit limit;
    try {
      QPDFObjectHandle stream = pdf->getObjectByID(number, 0);
      if (!stream.isStream()) continue;
      stream.pipeStreamData(&limit, 0, qpdf_dl_specialized, /*suppress_warnings=*/true);
      if (!limit.exceeded) continue;
      stream.replaceStreamData("", QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception&) {
      continue;  // damage qpdf reports when the stream is used
    }
    if (note.empty())
      note = "object stream " + std::to_string(number) +
             " decodes to more than 256 MiB; its objects are left out";
  }
  return note;
}

std::string Damaged(const std::string& detail) {
  return detail.empty() ? "damaged beyond repair" : "damaged beyond repair (" + detail + ")";
}

}  // namespace

HRESULT ReadOutlineTree(const std::string& path, pdf::OutlineTree* tree, std::string* message) {
  message->clear();
  FileBytes bytes;
  HRESULT status = ReadFile(path, &bytes, message);
  if (FAILED(status)) return status;
  if (!HasPdfHeader(bytes)) {
    *message = "not a PDF file";
    return kNotPdf;
  }

  // Everything qpdf would print is collected instead: a warning reaches
  // the user once, through the caller.
  QPDF qpdf;
  std::shared_ptr<QPDFLogger> logger = QPDFLogger::create();
  logger->setInfo(logger->discard());
  logger->setWarn(logger->discard());
  logger->setError(logger->discard());
  qpdf.setLogger(logger);
  qpdf.setSuppressWarnings(true);

  try {
    qpdf.processMemoryFile(path.c_str(), bytes.data.get(), bytes.size);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const QPDFExc& e) {
    if (e.getErrorCode() == qpdf_e_password) {
      *message = "needs a password";
      return kNeedsPassword;
    }
    if (e.getErrorCode() == qpdf_e_unsupported) {
      *message = "uses a feature that is not supported (" + Describe(e) + ")";
      return kUnsupported;
    }
    *message = Damaged(Describe(e));
    return kDamagedBeyondRepair;
  } catch (const std::exception& e) {
    *message = Damaged(MessageOf(e));
    return kDamagedBeyondRepair;
  }

  std::string oversized;
  try {
    oversized = EmptyOversizedObjectStreams(&qpdf);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    // the xref table is unreadable: reading the outline will say so
  }

  try {
    qpdf.getRoot();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    *message = Damaged(MessageOf(e));  // no catalog: nothing to read
    return kDamagedBeyondRepair;
  }
  std::string interrupted;
  try {
    QpdfObjectSource source(&qpdf);
    pdf::BuildOutlineTree(&source, tree);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    interrupted = MessageOf(e);
  }

  std::vector<QPDFExc> warnings = qpdf.getWarnings();
  if (warnings.empty() && interrupted.empty() && oversized.empty()) return S_OK;
  const std::string detail = !oversized.empty() ? oversized
                             : warnings.empty() ? interrupted
                                                : FirstTellingWarning(warnings);
  *message = "the file is damaged; read what could be recovered";
  if (!detail.empty()) *message += " (" + detail + ")";
  return S_FALSE;
}

}  // namespace qpdf_reader
}  // namespace vellox
