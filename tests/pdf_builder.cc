#include "pdf_builder.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include "pdf_writer.h"

namespace vellox {
namespace testing {

int PdfBuilder::AddObject(const std::string& body) {
  bodies.push_back(body);
  return static_cast<int>(bodies.size());
}

int PdfBuilder::ReserveObject() { return AddObject("null"); }

void PdfBuilder::SetObject(int number, const std::string& body) {
  bodies.at(static_cast<std::size_t>(number - 1)) = body;
}

void PdfBuilder::SetRoot(int number) { root = number; }

void PdfBuilder::SetTrailerEntries(const std::string& entries) {
  trailerEntries = entries;
}

void PdfBuilder::AddPages(int count) {
  pages = ReserveObject();
  std::string kids;
  for (int i = 0; i < count; ++i) {
    pageObjects.push_back(AddObject("<< /Type /Page /Parent " + Ref(pages) +
                                    " /MediaBox [0 0 612 792] >>"));
    kids += Ref(pageObjects.back()) + " ";
  }
  SetObject(pages, "<< /Type /Pages /Kids [" + kids + "] /Count " +
                       std::to_string(count) + " >>");
}

std::string PdfBuilder::PageRef(int index) const {
  return Ref(pageObjects.at(static_cast<std::size_t>(index)));
}

int PdfBuilder::AddOutline(const std::vector<OutlineNode>& topLevel) {
  outlines = ReserveObject();
  std::string body = "<< /Type /Outlines";
  if (!topLevel.empty()) {
    const Added added = AddItems(topLevel, outlines);
    body += " /First " + Ref(added.first) + " /Last " + Ref(added.last) +
            " /Count " + std::to_string(added.count);
  }
  SetObject(outlines, body + " >>");
  return outlines;
}

// Writes `items` as siblings under `parent`, each with its children.
PdfBuilder::Added PdfBuilder::AddItems(const std::vector<OutlineNode>& items, int parent) {
  std::vector<int> numbers;
  for (std::size_t i = 0; i < items.size(); ++i) numbers.push_back(ReserveObject());
  int count = static_cast<int>(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    const OutlineNode& item = items[i];
    std::string body = "<< /Title " + PdfString(item.title) + " /Parent " + Ref(parent);
    if (i > 0) body += " /Prev " + Ref(numbers[i - 1]);
    if (i + 1 < items.size()) body += " /Next " + Ref(numbers[i + 1]);
    if (!item.children.empty()) {
      const Added children = AddItems(item.children, numbers[i]);
      body += " /First " + Ref(children.first) + " /Last " + Ref(children.last) +
              " /Count " + std::to_string(children.count);
      count += children.count;
    }
    SetObject(numbers[i], body + " " + item.entries + " >>");
  }
  return Added{numbers.front(), numbers.back(), count};
}

int PdfBuilder::AddCatalog(const std::string& entries) {
  std::string body = "<< /Type /Catalog";
  if (pages != 0) body += " /Pages " + Ref(pages);
  if (outlines != 0) body += " /Outlines " + Ref(outlines);
  root = AddObject(body + " " + entries + " >>");
  return root;
}

std::string PdfBuilder::Build(const Damage& damage) const {
  std::string out;
  StringOutput output(&out);
  PdfWriter writer(&output, "1.7");
  for (std::size_t i = 0; i < bodies.size(); ++i)
    writer.AddObject(static_cast<long>(i + 1), bodies[i]);
  TableFaults faults;
  faults.offsetShift = damage.wrongOffsets ? 5 : 0;
  faults.noTable = damage.noXrefTable;
  writer.EndWithTable((root != 0 ? "/Root " + Ref(root) + " " : std::string()) + trailerEntries,
                      faults);
  return out;
}

std::string PdfBuilder::BuildHybrid(bool markFree) const {
  std::string out;
  StringOutput output(&out);
  PdfWriter writer(&output, "1.7");
  std::vector<std::pair<long, std::string>> packed;
  for (std::size_t i = 0; i < bodies.size(); ++i) {
    const long number = static_cast<long>(i + 1);
    if (number == root) {
      writer.AddObject(number, bodies[i]);
    } else {
      packed.emplace_back(number, bodies[i]);
    }
  }
  const long objectStream = static_cast<long>(bodies.size() + 1);
  writer.AddObjectStream(objectStream, packed);
  writer.EndWithHybrid(objectStream + 1, root != 0 ? "/Root " + Ref(root) : "", markFree);
  return out;
}

std::string Ref(int number) { return std::to_string(number) + " 0 R"; }

std::string PdfString(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out = "<";
  for (char c : bytes) {
    out.push_back(kDigits[static_cast<unsigned char>(c) >> 4]);
    out.push_back(kDigits[static_cast<unsigned char>(c) & 0xF]);
  }
  return out + ">";
}

std::string BuildDocument(int pageCount, const std::vector<OutlineNode>& outline) {
  PdfBuilder builder;
  builder.AddPages(pageCount);
  builder.AddOutline(outline);
  builder.AddCatalog();
  return builder.Build();
}

namespace {

std::string Rewrite(const std::string& pdf,
                    const std::function<void(QPDFWriter&)>& configure) {
  QPDF input;
  input.setSuppressWarnings(true);
  input.processMemoryFile("test input", pdf.data(), pdf.size());
  QPDFWriter writer(input);
  writer.setOutputMemory();
  configure(writer);
  writer.write();
  std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
  return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
}

}  // namespace

std::string WithObjectStreams(const std::string& pdf) {
  return Rewrite(pdf, [](QPDFWriter& writer) {
    writer.setObjectStreamMode(qpdf_o_generate);
  });
}

std::string Linearized(const std::string& pdf, bool objectStreams) {
  return Rewrite(pdf, [objectStreams](QPDFWriter& writer) {
    writer.setLinearization(true);
    if (objectStreams) writer.setObjectStreamMode(qpdf_o_generate);
  });
}

std::vector<std::pair<std::string, Encryption>> EveryEncryption() {
  const std::pair<const char*, Cipher> ciphers[] = {
      {"RC4 40-bit", Cipher::kRc4Key40},
      {"RC4 128-bit", Cipher::kRc4Key128},
      {"RC4 revision 4", Cipher::kRc4Revision4},
      {"AES-128", Cipher::kAes128},
      {"AES-256 revision 5", Cipher::kAes256Revision5},
      {"AES-256", Cipher::kAes256},
  };
  std::vector<std::pair<std::string, Encryption>> every;
  for (const auto& cipher : ciphers) {
    const bool metadataChoice = cipher.second != Cipher::kRc4Key40 &&
                                cipher.second != Cipher::kRc4Key128;
    for (bool objectStreams : {false, true}) {
      for (bool encryptMetadata : {true, false}) {
        if (!encryptMetadata && !metadataChoice) continue;
        std::string name = cipher.first;
        if (!encryptMetadata) name += ", metadata in the clear";
        if (objectStreams) name += ", object streams";
        every.emplace_back(name, Encryption{cipher.second, encryptMetadata, objectStreams});
      }
    }
  }
  return every;
}

std::string Encrypted(const std::string& pdf, const std::string& userPassword,
                      const std::string& ownerPassword, const Encryption& encryption) {
  return Rewrite(pdf, [&](QPDFWriter& writer) {
    const char* user = userPassword.c_str();
    const char* owner = ownerPassword.c_str();
    const bool metadata = encryption.encryptMetadata;
    if (encryption.objectStreams) writer.setObjectStreamMode(qpdf_o_generate);
    switch (encryption.cipher) {
      case Cipher::kRc4Key40:
        writer.setR2EncryptionParametersInsecure(user, owner, true, true, true, true);
        break;
      case Cipher::kRc4Key128:
        writer.setR3EncryptionParametersInsecure(user, owner, true, true, true, true, true, true,
                                                 qpdf_r3p_full);
        break;
      case Cipher::kRc4Revision4:
      case Cipher::kAes128:
        writer.setR4EncryptionParametersInsecure(user, owner, true, true, true, true, true, true,
                                                 qpdf_r3p_full, metadata,
                                                 encryption.cipher == Cipher::kAes128);
        break;
      case Cipher::kAes256Revision5:
        writer.setR5EncryptionParameters(user, owner, true, true, true, true, true, true,
                                         qpdf_r3p_full, metadata);
        break;
      case Cipher::kAes256:
        writer.setR6EncryptionParameters(user, owner, true, true, true, true, true, true,
                                         qpdf_r3p_full, metadata);
        break;
    }
  });
}

}  // namespace testing
}  // namespace vellox
