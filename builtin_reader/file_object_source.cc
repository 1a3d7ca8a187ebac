#include "builtin_reader/file_object_source.h"

#include <algorithm>
#include <cstring>

#include "builtin_reader/indirect_object.h"
#include "builtin_reader/object_parser.h"
#include "pdf/budgets.h"
#include "pdf/read_failures.h"

namespace vellox {
namespace pdf {
namespace {

}  // namespace

FileObjectSource::FileObjectSource(std::unique_ptr<platform::RandomAccessFile> file)
    : file(std::move(file)), window(*this->file) {}

StatusOr<std::unique_ptr<FileObjectSource>> FileObjectSource::Open(const std::string& path) {
  std::unique_ptr<platform::RandomAccessFile> file;
  Status status = platform::OpenRandomAccessFile(path, &file);
  if (!status.ok()) return status;
  return Open(std::move(file));
}

StatusOr<std::unique_ptr<FileObjectSource>> FileObjectSource::Open(
    std::unique_ptr<platform::RandomAccessFile> file) {
  std::string start;
  Status status = file->Read(0, kPdfHeaderWindow, &start);
  if (!status.ok()) return status;
  if (!HasPdfHeader(start)) return NotAPdfFile();
  std::unique_ptr<FileObjectSource> source(new FileObjectSource(std::move(file)));
  source->xref.Read(&source->window, &source->inflation);
  source->decryption = Decryption::Open(source->Trailer(), source.get());
  return source;
}

Object FileObjectSource::Catalog() {
  const Object& root = xref.trailer().Get("Root");
  if (!root.IsReference()) Damaged("the trailer has no /Root reference");
  Object catalog = Resolve(root);
  if (!catalog.IsDictionary()) Damaged("the document catalog is not a dictionary");
  return catalog;
}

Object FileObjectSource::Resolve(const Object& object) { return Resolve(object, nullptr); }

Object FileObjectSource::ResolveEntries(const Object& object,
                                        std::initializer_list<const char*> keys) {
  const EntryFilter filter(keys);
  return Resolve(object, &filter);
}

Object FileObjectSource::Resolve(const Object& object, const EntryFilter* filter) {
  if (!object.IsReference()) return object;
  Object current = object;
  for (int hop = 0; hop < kMaxReferenceHops; ++hop) {
    current = Fetch(current.Id(), filter);
    if (!current.IsReference()) return current;
  }
  OverLimit("a chain of references exceeds", std::to_string(kMaxReferenceHops));
}

Object FileObjectSource::Fetch(ObjectId id, const EntryFilter* filter) {
  if (++resolved > kMaxObjectsResolved)
    OverLimit("objects read exceed", std::to_string(kMaxObjectsResolved));
  auto kept = keptObjects.find(id.Packed());
  if (kept != keptObjects.end()) return kept->second;
  const ObjectLocation location = xref.Find(id.number);
  Object object;
  std::uint64_t textBytes = 0;
  switch (location.type) {
    case ObjectLocation::Type::kInFile: {
      if (location.generation != id.generation) return Object();
      IndirectObject found = ReadIndirectObject(&window, location.offset, filter);
      ChargeParsing(found.textBytes);
      // A wrong offset: the table does not match the file.
      if (!(found.id == id)) Damaged(ObjectName(id) + " is not where the cross-reference puts it");
      object = decryption ? decryption->DecryptStrings(id, found.value) : std::move(found.value);
      textBytes = found.textBytes;
      break;
    }
    case ObjectLocation::Type::kInStream:
      if (id.generation != 0) return Object();
      object = FetchFromStream(id, location, filter, &textBytes);
      break;
    case ObjectLocation::Type::kNone:
    case ObjectLocation::Type::kFree:
      return Object();  // PDF reads a missing object as null
  }
  if (filter == nullptr) Keep(id, object, textBytes);  // only whole objects are kept
  return object;
}

void FileObjectSource::Keep(ObjectId id, const Object& object, std::uint64_t textBytes) {
  // Small objects cost little to parse again; a large one read a second
  // time (an action or destination many items share) is kept.
  if (textBytes < kKeptObjectMinBytes) return;
  if (fetchedOnce.insert(id.Packed()).second) return;
  if (keptBytes + textBytes > kKeptObjectBytes) return;  // parsed again, and charged
  keptBytes += textBytes;
  keptObjects.emplace(id.Packed(), object);
}

Object FileObjectSource::FetchFromStream(ObjectId id, const ObjectLocation& location,
                                         const EntryFilter* filter, std::uint64_t* textBytes) {
  ObjectStream& stream = LoadObjectStream(location.stream);
  const auto& header = stream.header;
  std::size_t at = location.index;
  if (at >= header.size() || header[at].first != id.number) {
    // The index is a hint; the header is what the stream holds, looked up
    // through an index of it made on the first wrong hint.
    if (stream.positions.empty()) {
      stream.positions.reserve(header.size());
      for (std::size_t i = 0; i < header.size(); ++i) stream.positions.emplace(header[i].first, i);
    }
    auto found = stream.positions.find(id.number);
    if (found == stream.positions.end())
      Damaged(ObjectName(id) + " is not in the object stream the cross-reference names");
    at = found->second;
  }
  const std::uint64_t begin = stream.first + header[at].second;
  std::uint64_t end = stream.data.size();
  if (at + 1 < header.size() && stream.first + header[at + 1].second > begin)
    end = stream.first + header[at + 1].second;
  if (begin >= stream.data.size()) Damaged(ObjectName(id) + " lies past its object stream's end");
  end = std::min<std::uint64_t>({end, stream.data.size(), begin + kMaxObjectBytes});
  const char* data = stream.data.data();
  Lexer lexer(data + begin, data + end);
  Object object = ObjectParser(&lexer).ParseObject(filter);
  *textBytes = static_cast<std::uint64_t>(lexer.position() - lexer.begin());
  ChargeParsing(*textBytes);
  return object;
}

void FileObjectSource::ChargeParsing(std::uint64_t bytes) {
  parsedBytes += bytes;
  if (parsedBytes > kMaxParsedBytesPerDocument)
    OverLimit("object text parsed exceeds", Mebibytes(kMaxParsedBytesPerDocument));
}

FileObjectSource::ObjectStream& FileObjectSource::LoadObjectStream(std::uint32_t number) {
  auto loaded = streams.find(number);
  if (loaded != streams.end()) return *loaded->second;
  if (std::find(loading.begin(), loading.end(), number) != loading.end())
    Damaged("object stream " + std::to_string(number) + " depends on itself");
  if (loading.size() >= static_cast<std::size_t>(kMaxObjectStreamNesting))
    OverLimit("object streams nest deeper than", std::to_string(kMaxObjectStreamNesting));
  loading.push_back(number);
  std::unique_ptr<ObjectStream> stream;
  try {
    stream = ReadObjectStream(number);
  } catch (...) {
    loading.pop_back();
    throw;
  }
  loading.pop_back();
  // Kept for the run: items and their titles may sit in different streams,
  // read in turn, and each is inflated once. What all of them hold is
  // bounded by the document's inflation budget.
  return *streams.emplace(number, std::move(stream)).first->second;
}

std::unique_ptr<FileObjectSource::ObjectStream> FileObjectSource::ReadObjectStream(
    std::uint32_t number) {
  const ObjectLocation location = xref.Find(number);
  if (location.type != ObjectLocation::Type::kInFile)
    Damaged("object stream " + std::to_string(number) + " is not in the file");
  IndirectObject object = ReadIndirectObject(&window, location.offset);
  if (object.id.number != number)
    Damaged("object " + std::to_string(number) + " is not where the cross-reference puts it");
  const Object& dictionary = object.value;
  if (!dictionary.IsStream()) Damaged("object stream " + std::to_string(number) + " is no stream");

  std::unique_ptr<ObjectStream> stream(new ObjectStream);
  stream->data = StreamData(object.id, dictionary, object.dataOffset);
  const Object& count = dictionary.Get("N");
  const Object& first = dictionary.Get("First");
  if (!count.IsInteger() || !first.IsInteger() || count.IntegerValue() < 0 ||
      first.IntegerValue() < 0 ||
      static_cast<std::uint64_t>(first.IntegerValue()) > stream->data.size())
    Damaged("bad /N or /First in object stream " + std::to_string(number));
  stream->first = static_cast<std::size_t>(first.IntegerValue());

  // N pairs of numbers in the bytes before /First; N cannot exceed what
  // those bytes can hold, so it sizes nothing by itself.
  Lexer lexer(stream->data.data(), stream->data.data() + stream->first);
  for (std::int64_t i = 0; i < count.IntegerValue(); ++i) {
    const Token objectNumber = lexer.Next();
    const Token offset = lexer.Next();
    if (objectNumber.type != TokenType::kInteger || offset.type != TokenType::kInteger ||
        objectNumber.integer < 0 || objectNumber.integer > kMaxObjectNumber ||
        offset.integer < 0)
      Damaged("bad header in object stream " + std::to_string(number));
    stream->header.emplace_back(static_cast<std::uint32_t>(objectNumber.integer),
                                static_cast<std::uint64_t>(offset.integer));
  }
  return stream;
}

std::string FileObjectSource::StreamData(ObjectId id, const Object& dictionary,
                                         std::uint64_t dataOffset) {
  const Object length = Resolve(dictionary.Get("Length"));
  if (!length.IsInteger() || length.IntegerValue() < 0) Damaged("a stream without a /Length");
  CheckStreamLength(static_cast<std::uint64_t>(length.IntegerValue()));
  std::string raw = window.Read(dataOffset, static_cast<std::size_t>(length.IntegerValue()));
  Object filter = Resolve(dictionary.Get("Filter"));
  Object parameters = Resolve(dictionary.Get("DecodeParms"));
  if (decryption)
    raw = decryption->DecryptStream(id, dictionary, &filter, &parameters, std::move(raw));
  return inflation.Decode(filter, parameters, std::move(raw));
}

}  // namespace pdf
}  // namespace vellox
