// The exported entry points of the qpdf reader module.

#include <string>

#include "pdf/fallback_reader.h"
#include "qpdf_reader/outline_reader.h"

extern "C" {

__attribute__((visibility("default"))) const char* VelloxQpdfModuleVersion() {
  return VELLOX_BUILD_ID;
}

__attribute__((visibility("default"))) vellox::pdf::FallbackReader VelloxQpdfReadOutline() {
  return &vellox::qpdf_reader::ReadOutlineTree;
}

}  // extern "C"
