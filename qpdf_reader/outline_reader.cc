#include "qpdf_reader/outline_reader.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <limits>
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

#include "pdf/budgets.h"
#include "pdf/outline_builder.h"
#include "pdf/read_failures.h"
#include "platform/heap.h"
#include "platform/random_access_file.h"
#include "qpdf_reader/qpdf_object_source.h"

namespace vellox {
namespace qpdf_reader {
namespace {

// The warning that says most: qpdf opens with a bare "file is damaged"
// before naming the damage.
std::string FirstTellingWarning(const std::vector<QPDFExc>& warnings) {
  for (const QPDFExc& warning : warnings)
    if (warning.getMessageDetail() != "file is damaged") return DescribeQpdfError(warning);
  return DescribeQpdfError(warnings.front());
}

// Reads the whole file at `path` into `bytes`. Parsing from memory beats
// qpdf's own file reading, which seeks before every read; this reader
// serves only the documents that need repair, where the whole file is
// what qpdf scans anyway.
Status ReadFile(const std::string& path, std::string* bytes) {
  std::unique_ptr<platform::RandomAccessFile> file;
  Status status = platform::OpenRandomAccessFile(path, &file);
  if (!status.ok()) return status;
  const std::uint64_t size = file->Size();
  if (size > std::numeric_limits<std::size_t>::max()) return Status::IoError("too large to read");
  platform::TuneHeap(static_cast<std::size_t>(size));  // before the buffer
  return file->Read(0, static_cast<std::size_t>(size), bytes);  // short if it shrank
}

// Counts decoded bytes and stops the decoding once they pass the limit.
class DecodedSizeLimit : public Pipeline {
 public:
  DecodedSizeLimit() : Pipeline("object stream size limit", nullptr) {}
  void write(unsigned char const*, size_t length) override {
    total += length;
    if (total > pdf::kMaxQpdfObjectStreamBytes) {
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
      note = "object stream " + std::to_string(number) + " decodes to more than " +
             pdf::Mebibytes(pdf::kMaxQpdfObjectStreamBytes) + "; its objects are left out";
  }
  return note;
}

Status BeyondRepair(const std::string& detail) {
  return Status::Damaged(detail.empty() ? "damaged beyond repair"
                                        : "damaged beyond repair (" + detail + ")");
}

}  // namespace

StatusOr<OutlineTree> ReadWithQpdf(const std::string& path) {
  std::string bytes;
  Status status = ReadFile(path, &bytes);
  if (!status.ok()) return status;
  if (!pdf::HasPdfHeader(bytes)) return pdf::NotAPdfFile();

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
    qpdf.processMemoryFile(path.c_str(), bytes.data(), bytes.size());
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const QPDFExc& e) {
    if (e.getErrorCode() == qpdf_e_password) return Status::Damaged("needs a password");
    if (e.getErrorCode() == qpdf_e_unsupported) return pdf::UnsupportedFeature(DescribeQpdfError(e));
    return BeyondRepair(DescribeQpdfError(e));
  } catch (const std::exception& e) {
    return BeyondRepair(DescribeQpdfError(e));
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
    return BeyondRepair(DescribeQpdfError(e));  // no catalog: nothing to read
  }
  OutlineTree tree;
  std::string interrupted;
  try {
    QpdfObjectSource source(&qpdf);
    pdf::BuildOutlineTree(&source, &tree);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    interrupted = DescribeQpdfError(e);
  }

  std::vector<QPDFExc> warnings = qpdf.getWarnings();
  if (warnings.empty() && interrupted.empty() && oversized.empty()) return tree;
  const std::string detail = !oversized.empty() ? oversized
                             : warnings.empty() ? interrupted
                                                : FirstTellingWarning(warnings);
  tree.repairNote = "the file is damaged; read what could be recovered";
  if (!detail.empty()) tree.repairNote += " (" + detail + ")";
  return tree;
}

}  // namespace qpdf_reader
}  // namespace vellox
