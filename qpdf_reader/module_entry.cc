// The exported entry points of the qpdf reader module.

#include "qpdf_reader/module_interface.h"
#include "qpdf_reader/outline_reader.h"

extern "C" {

__attribute__((visibility("default"))) const char* VelloxQpdfModuleVersion() {
  return VELLOX_BUILD_ID;
}

__attribute__((visibility("default"))) vellox::qpdf_reader::QpdfReadFunction
VelloxQpdfReadOutline() {
  return &vellox::qpdf_reader::ReadWithQpdf;
}

}  // extern "C"
