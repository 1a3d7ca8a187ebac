#ifndef VELLOX_QPDF_READER_QPDF_OBJECT_SOURCE_H_
#define VELLOX_QPDF_READER_QPDF_OBJECT_SOURCE_H_

#include <qpdf/QPDF.hh>

#include "pdf/object_source.h"

namespace vellox {
namespace qpdf_reader {

// qpdf's objects as the shared document logic reads them: each object is
// copied out of qpdf when it is resolved, with its nested indirect
// objects left as references. qpdf's failures become ReadErrors
// (kDamaged) carrying qpdf's description.
class QpdfObjectSource final : public pdf::ObjectSource {
 public:
  explicit QpdfObjectSource(QPDF* pdf) : pdf(pdf) {}

  pdf::Object Catalog() override;
  pdf::Object Resolve(const pdf::Object& object) override;

 private:
  QPDF* pdf;
};

// A qpdf exception's text as one printable ASCII line of bounded length,
// without the file name, which the caller prints anyway.
std::string DescribeQpdfError(const std::exception& error);

}  // namespace qpdf_reader
}  // namespace vellox

#endif  // VELLOX_QPDF_READER_QPDF_OBJECT_SOURCE_H_
