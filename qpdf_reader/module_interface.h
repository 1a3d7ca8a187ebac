#ifndef VELLOX_QPDF_READER_MODULE_INTERFACE_H_
#define VELLOX_QPDF_READER_MODULE_INTERFACE_H_

// What the qpdf reader module exports, for the program that loads it.
//
// Only C types cross: the program may carry its own copy of the C++
// runtime (linked in statically) while the module and qpdf use the shared
// one, so no C++ object, allocation or exception of one side may reach
// the other. The module lends its result to a function of the program for
// the length of one call, and the program copies it into memory of its
// own; each side frees only what it allocated. Both sides are built
// together; the version check refuses a module left from another build.

#include <stddef.h>
#include <stdint.h>

#define VELLOX_QPDF_MODULE_NAME "vellox-qpdf"
#define VELLOX_QPDF_MODULE_VERSION_SYMBOL "VelloxQpdfModuleVersion"
#define VELLOX_QPDF_MODULE_READ_SYMBOL "VelloxQpdfReadOutline"

extern "C" {

// One node of the outline, as OutlineTree::Node holds it (outline/
// outline_tree.h), a page it leads to none of as -1.
struct VelloxOutlineNode {
  int32_t parent;
  int32_t firstChild;
  int32_t nextSibling;
  int32_t page;
  int32_t label;
  uint64_t titleStart;
  uint64_t titleLength;
};

// UTF-16 code units.
struct VelloxText {
  const char16_t* units;
  size_t length;
};

// What the module read, lent for one call. `status` is a vellox::StatusCode
// value: 0 with the outline, else the failure and its reason.
struct VelloxOutlineResult {
  int status;
  const char* message;
  size_t messageLength;
  const struct VelloxOutlineNode* nodes;
  size_t nodeCount;
  struct VelloxText titles;
  const struct VelloxText* labels;
  size_t labelCount;
  const char* repairNote;
  size_t repairNoteLength;
};

// The program's side: takes a copy of `result`; returns 0, or non-zero
// when it ran out of memory doing so.
typedef int (*VelloxOutlineReceiver)(void* context, const struct VelloxOutlineResult* result);

// What VelloxQpdfReadOutline returns.
enum {
  kVelloxModuleDone = 0,         // the receiver took the result
  kVelloxModuleOutOfMemory = 1,  // either side ran out of memory
};

// const char* VelloxQpdfModuleVersion(void): the build's identity.
typedef const char* (*VelloxQpdfModuleVersionFunction)(void);
// int VelloxQpdfReadOutline(const char* path, VelloxOutlineReceiver receive,
//                           void* context): reads the outline of the PDF at
// `path` (file-name bytes, NUL-terminated) and hands it, or why there is
// none, to `receive(context, ...)`.
typedef int (*VelloxQpdfReadOutlineFunction)(const char* path, VelloxOutlineReceiver receive,
                                             void* context);

}  // extern "C"

#endif  // VELLOX_QPDF_READER_MODULE_INTERFACE_H_
