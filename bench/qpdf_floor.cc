// qpdf_floor: the least any outline reader over qpdf must do, timed beside
// vellox so that the share of the time that qpdf itself takes shows.
//
//   qpdf_floor FILE                  reads every outline item
//   qpdf_floor --objects LIST FILE   and the objects numbered in LIST
//   qpdf_floor --list FILE           prints the destination objects' numbers
//
// It sets up the heap, reads the file into memory and opens it as vellox
// does, then reads every outline item (its /Title, /Dest or /A, /First and
// /Next) and, with --objects, the objects listed (one number a line): made
// by --list, those are the indirect objects that the items' destinations
// lead to (through /Dests, the name tree, /D), which a reader must read to
// learn a page.
// No page tree, no name tree node, no page is read in the timed run: it is
// a lower bound. With object streams, qpdf parses each whole stream that
// holds one of these objects, as it would for any reader.

#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "platform/heap.h"

namespace {

// Follows a destination to its array, adding each indirect object met.
void ListDestination(QPDFObjectHandle target, QPDFObjectHandle dests,
                     QPDFNameTreeObjectHelper* names, std::set<int>* objects) {
  for (int hop = 0; hop < 8; ++hop) {
    if (target.isIndirect()) objects->insert(target.getObjectID());
    if (target.isArray()) return;
    if (target.isDictionary()) {
      target = target.getKey("/D");
    } else if (target.isName() && dests.isDictionary()) {
      target = dests.getKey(target.getName());
    } else if (target.isString() && names != nullptr) {
      QPDFObjectHandle value;
      if (!names->findObject(target.getUTF8Value(), value)) return;
      target = value;
    } else {
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 2 ? argv[1] : "";
  if (!(argc == 2 || (argc == 3 && mode == "--list") || (argc == 4 && mode == "--objects"))) {
    std::fprintf(stderr, "usage: qpdf_floor [--list | --objects LIST] FILE\n");
    return 2;
  }
  const char* path = argv[argc - 1];
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    std::perror(path);
    return 1;
  }
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  std::unique_ptr<char[]> bytes(new char[size > 0 ? size : 1]);
  const std::size_t got = std::fread(bytes.get(), 1, static_cast<std::size_t>(size), file);
  std::fclose(file);
  vellox::platform::TuneHeap(got);

  QPDF pdf;
  pdf.setSuppressWarnings(true);
  pdf.processMemoryFile(path, bytes.get(), got);
  QPDFObjectHandle catalog = pdf.getRoot();
  QPDFObjectHandle outlines = catalog.getKey("/Outlines");

  std::unique_ptr<QPDFNameTreeObjectHelper> names;
  QPDFObjectHandle dests;
  std::set<int> listed;
  if (mode == "--list") {
    dests = catalog.getKey("/Dests");
    QPDFObjectHandle tree = catalog.getKey("/Names");
    if (tree.isDictionary() && tree.getKey("/Dests").isDictionary())
      names.reset(new QPDFNameTreeObjectHelper(tree.getKey("/Dests"), pdf, false));
  }

  std::set<QPDFObjGen> visited;
  std::vector<QPDFObjectHandle> pending;
  if (outlines.isDictionary()) pending.push_back(outlines.getKey("/First"));
  long items = 0;
  std::size_t titleBytes = 0;
  while (!pending.empty()) {
    QPDFObjectHandle item = pending.back();
    pending.pop_back();
    if (!item.isDictionary()) continue;
    if (item.isIndirect() && !visited.insert(item.getObjGen()).second) continue;
    ++items;
    QPDFObjectHandle title = item.getKey("/Title");
    if (title.isString()) titleBytes += title.getStringValue().size();
    QPDFObjectHandle target = item.getKey("/Dest");
    if (target.isNull()) target = item.getKey("/A").getKey("/D");
    if (mode == "--list") ListDestination(target, dests, names.get(), &listed);
    pending.push_back(item.getKey("/Next"));
    pending.push_back(item.getKey("/First"));
  }
  if (mode == "--list") {
    for (int object : listed) std::printf("%d\n", object);
    return 0;
  }

  long objects = 0;
  if (mode == "--objects") {
    std::ifstream list(argv[2]);
    int number;
    while (list >> number) {
      if (!pdf.getObjectByID(number, 0).isNull()) ++objects;  // parses it
    }
  }
  std::printf("%ld items, %zu title bytes, %ld objects\n", items, titleBytes, objects);
  return 0;
}
