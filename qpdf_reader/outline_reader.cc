#include "qpdf_reader/outline_reader.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "pdf/budgets.h"
#include "pdf/object_source.h"
#include "pdf/outline_builder.h"
#include "pdf/read_failures.h"
#include "platform/heap.h"
#include "platform/random_access_file.h"
#include "qpdf_reader/allocation_budget.h"
#include "qpdf_reader/budgeted_filters.h"
#include "qpdf_reader/budgeted_input.h"
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

Status BeyondRepair(const std::string& detail) {
  return Status::Damaged(detail.empty() ? "damaged beyond repair"
                                        : "damaged beyond repair (" + detail + ")");
}

// Reads the outline from `bytes`, the file at `path`, within every budget
// but memory's.
StatusOr<OutlineTree> ReadBytes(const std::string& path, const std::string& bytes) {
  // What qpdf reads and every stream it decodes for this document keep
  // budgets; once past one, the document is refused whatever qpdf made of
  // the failure.
  RegisterBudgetedFilters();
  DecodingBudget decoding;
  auto input = std::make_shared<BudgetedInput>(path, bytes);
  const auto overLimit = [&]() -> const std::string& {
    return !input->limitReason().empty() ? input->limitReason() : decoding.limitReason();
  };
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
    qpdf.processInputSource(input);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const QPDFExc& e) {
    if (!overLimit().empty()) return Status::OverLimit(overLimit());
    if (e.getErrorCode() == qpdf_e_password) return Status::Damaged("needs a password");
    if (e.getErrorCode() == qpdf_e_unsupported)
      return pdf::UnsupportedFeature(DescribeQpdfError(e));
    return BeyondRepair(DescribeQpdfError(e));
  } catch (const std::exception& e) {
    if (!overLimit().empty()) return Status::OverLimit(overLimit());
    return BeyondRepair(DescribeQpdfError(e));
  }

  try {
    qpdf.getRoot();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    if (!overLimit().empty()) return Status::OverLimit(overLimit());
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

  // Past a budget the document is refused, as by the built-in reader.
  if (!overLimit().empty()) return Status::OverLimit(overLimit());
  std::vector<QPDFExc> warnings = qpdf.getWarnings();
  if (warnings.empty() && interrupted.empty() && decoding.damage().empty()) return tree;
  const std::string detail = !warnings.empty()     ? FirstTellingWarning(warnings)
                             : !interrupted.empty() ? interrupted
                                                    : decoding.damage();
  tree.repairNote = "the file is damaged; read what could be recovered";
  if (!detail.empty()) tree.repairNote += " (" + detail + ")";
  return tree;
}

}  // namespace

StatusOr<OutlineTree> ReadWithQpdf(const std::string& path) {
  std::string bytes;
  Status status = ReadFile(path, &bytes);
  if (!status.ok()) return status;
  if (!pdf::HasPdfHeader(bytes)) return pdf::NotAPdfFile();

  // The memory qpdf takes is counted from here, the file's bytes, held
  // already, not. Past the budget the document is refused, and when the
  // system runs out of memory the run says so, whatever qpdf made of the
  // failure: it may have caught it and read on, leaving objects out.
  std::optional<StatusOr<OutlineTree>> read;
  std::uint64_t limit = 0;
  bool exceeded = false;
  bool starved = false;
  {
    AllocationBudget memory(pdf::kRepairMemoryPerFileByte * bytes.size() +
                            pdf::kRepairMemoryBeyondFileSize);
    limit = memory.limit();
    try {
      read.emplace(ReadBytes(path, bytes));
    } catch (const std::bad_alloc&) {
      if (!memory.exceeded() && !memory.starved()) throw;
    }
    exceeded = memory.exceeded();
    starved = memory.starved();
    if (exceeded || starved) read.reset();  // freed within the budget's reserve
  }
  if (exceeded)
    return Status::OverLimit(
        pdf::LimitReason("the memory for repairing the file exceeds", pdf::Mebibytes(limit)));
  if (starved) throw std::bad_alloc();
  return std::move(*read);
}

}  // namespace qpdf_reader
}  // namespace vellox
