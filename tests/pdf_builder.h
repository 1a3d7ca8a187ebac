#ifndef VELLOX_TESTS_PDF_BUILDER_H_
#define VELLOX_TESTS_PDF_BUILDER_H_

#include <string>
#include <utility>
#include <vector>

namespace vellox {
namespace testing {

// One outline item for PdfBuilder::AddOutline: its raw /Title bytes, any
// further dictionary entries as PDF text (e.g. "/Dest [3 0 R /Fit]"), and
// its children.
struct OutlineNode {
  std::string title;
  std::string entries;
  std::vector<OutlineNode> children;
};

// How Build damages the file it writes.
struct Damage {
  bool wrongOffsets = false;  // every xref offset points a few bytes off
  bool noXrefTable = false;   // the trailer follows the objects directly
};

// Small PDF files as text: numbered objects, a classic xref table and a
// trailer (written by PdfWriter). Object bodies are given verbatim, so
// tests can write any structure, broken ones included.
class PdfBuilder {
 public:
  // Adds an object with `body` (e.g. "<< /Type /Page >>"); returns its number.
  int AddObject(const std::string& body);
  // A number for an object written later with SetObject (forward links);
  // one never set is written as null.
  int ReserveObject();
  void SetObject(int number, const std::string& body);
  void SetRoot(int number);
  // More trailer entries, e.g. "/Encrypt 7 0 R".
  void SetTrailerEntries(const std::string& entries);

  // A page tree of `count` pages under one /Pages node.
  void AddPages(int count);
  int PagesObject() const { return pages; }
  // "N 0 R" for page `index` (0-based).
  std::string PageRef(int index) const;

  // An outline with these top-level items; returns the /Outlines object.
  // Recursive over `topLevel`: for trees of modest depth.
  int AddOutline(const std::vector<OutlineNode>& topLevel);
  // The catalog, with /Pages and /Outlines when added and `entries`;
  // becomes the root. Returns its number.
  int AddCatalog(const std::string& entries = "");

  std::string Build(const Damage& damage = Damage()) const;
  // The same objects as a hybrid file, as word processors write it: all
  // but the catalog in one object stream, which only the cross-reference
  // stream that the table's trailer names finds; the table marks them
  // free, or (`markFree` false) leaves them out.
  std::string BuildHybrid(bool markFree) const;

 private:
  struct Added {
    int first;
    int last;
    int count;  // /Count: the items and all their descendants
  };
  Added AddItems(const std::vector<OutlineNode>& items, int parent);

  std::vector<std::string> bodies;  // object n at n - 1
  int root = 0;
  int pages = 0;
  int outlines = 0;
  std::vector<int> pageObjects;
  std::string trailerEntries;
};

// "N 0 R".
std::string Ref(int number);
// Any bytes as a PDF hex string, "<...>".
std::string PdfString(const std::string& bytes);
// A document with `pageCount` pages and `outline`; items can point at a
// page by its index ("/Dest [2 /Fit]"), page objects being unknown here.
std::string BuildDocument(int pageCount, const std::vector<OutlineNode>& outline);

// How Encrypted has qpdf encrypt a document: the standard security
// handler's revisions and ciphers.
enum class Cipher {
  kRc4Key40,      // revision 2
  kRc4Key128,     // revision 3
  kRc4Revision4,  // RC4 in a crypt filter
  kAes128,        // revision 4
  kAes256Revision5,
  kAes256,        // revision 6
};
struct Encryption {
  Cipher cipher = Cipher::kAes256;
  bool encryptMetadata = true;  // false: /EncryptMetadata false (revisions 4 to 6)
  bool objectStreams = false;
};
// Every kind of Encryption, each named ("RC4 40-bit, object streams").
std::vector<std::pair<std::string, Encryption>> EveryEncryption();

// The same document rewritten by qpdf: with its objects in object streams;
// linearized (a first-page cross-reference section at the start, the main
// one at the end, a hint stream), with object streams or not; or
// encrypted with these passwords.
std::string WithObjectStreams(const std::string& pdf);
std::string Linearized(const std::string& pdf, bool objectStreams);
std::string Encrypted(const std::string& pdf, const std::string& userPassword,
                      const std::string& ownerPassword,
                      const Encryption& encryption = Encryption());

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_PDF_BUILDER_H_
