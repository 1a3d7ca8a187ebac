#ifndef VELLOX_PDF_OBJECT_H_
#define VELLOX_PDF_OBJECT_H_

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vellox {
namespace pdf {

// The number and generation of an indirect object.
struct ObjectId {
  std::uint32_t number = 0;
  std::uint32_t generation = 0;

  // Number and generation packed into one integer, for sets and maps.
  std::uint64_t Packed() const { return (std::uint64_t{number} << 32) | generation; }
  bool operator==(const ObjectId& other) const {
    return number == other.number && generation == other.generation;
  }
};

class Object;
using Array = std::vector<Object>;
// Entries in file order; keys without the leading slash. Dictionaries are
// small, so a look-up is a linear scan.
using Dictionary = std::vector<std::pair<std::string, Object>>;

// A PDF object as the document logic sees it: direct values, with indirect
// references left as references for the caller to resolve. A stream reads
// as its dictionary (IsStream() tells); its data stays with the reader.
// Copies share arrays and dictionaries, which are never changed once
// built.
class Object {
 public:
  enum class Type : std::uint8_t {
    kNull, kBoolean, kInteger, kReal, kString, kName, kArray, kDictionary, kReference
  };

  Object() = default;  // null
  static Object Boolean(bool value);
  static Object Integer(std::int64_t value);
  static Object Real(double value);
  static Object String(std::string bytes);
  static Object Name(std::string name);  // without the slash
  static Object MakeArray(Array items);
  static Object MakeDictionary(Dictionary entries, bool isStream = false);
  static Object Reference(ObjectId id);

  Type type() const { return type_; }
  bool IsNull() const { return type_ == Type::kNull; }
  bool IsBoolean() const { return type_ == Type::kBoolean; }
  bool IsInteger() const { return type_ == Type::kInteger; }
  bool IsString() const { return type_ == Type::kString; }
  bool IsName() const { return type_ == Type::kName; }
  bool IsName(const char* name) const { return type_ == Type::kName && text_ == name; }
  bool IsArray() const { return type_ == Type::kArray; }
  bool IsDictionary() const { return type_ == Type::kDictionary; }
  bool IsStream() const { return type_ == Type::kDictionary && stream_; }
  bool IsReference() const { return type_ == Type::kReference; }

  // Zero, false or {0, 0} for an object of another type.
  bool BooleanValue() const { return IntegerValue() != 0; }
  std::int64_t IntegerValue() const { return HoldsInteger() ? value_.integer : 0; }
  double NumberValue() const {
    return type_ == Type::kReal ? value_.real : static_cast<double>(IntegerValue());
  }
  // The bytes of a string, or the name without its slash.
  const std::string& Text() const { return text_; }
  ObjectId Id() const { return type_ == Type::kReference ? value_.id : ObjectId(); }

  // Empty for anything but an array.
  const Array& Items() const;
  std::size_t Size() const { return Items().size(); }
  // The item at `index`, null past the end.
  const Object& At(std::size_t index) const;

  // Empty for anything but a dictionary.
  const Dictionary& Entries() const;
  // The value under `key` (no slash), null when absent or not a dictionary.
  const Object& Get(const char* key) const;

 private:
  // Parsers make and move objects by the thousand: one value field for
  // the scalar types and one pointer for either container keep them small.
  union Value {
    std::int64_t integer;  // an integer, or a boolean as 0 or 1
    double real;
    ObjectId id;
    Value() : integer(0) {}
  };

  bool HoldsInteger() const { return type_ == Type::kInteger || type_ == Type::kBoolean; }

  Type type_ = Type::kNull;
  bool stream_ = false;
  Value value_;
  std::string text_;
  std::shared_ptr<const void> container_;  // the Array or Dictionary
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_OBJECT_H_
