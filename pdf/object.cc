#include "pdf/object.h"

namespace vellox {
namespace pdf {
namespace {

const Object& NullObject() {
  static const Object null;
  return null;
}

const Array& EmptyArray() {
  static const Array empty;
  return empty;
}

const Dictionary& EmptyDictionary() {
  static const Dictionary empty;
  return empty;
}

}  // namespace

Object Object::Boolean(bool value) {
  Object object;
  object.type_ = Type::kBoolean;
  object.integer_ = value ? 1 : 0;
  return object;
}

Object Object::Integer(std::int64_t value) {
  Object object;
  object.type_ = Type::kInteger;
  object.integer_ = value;
  return object;
}

Object Object::Real(double value) {
  Object object;
  object.type_ = Type::kReal;
  object.real_ = value;
  return object;
}

Object Object::String(std::string bytes) {
  Object object;
  object.type_ = Type::kString;
  object.text_ = std::move(bytes);
  return object;
}

Object Object::Name(std::string name) {
  Object object;
  object.type_ = Type::kName;
  object.text_ = std::move(name);
  return object;
}

Object Object::MakeArray(Array items) {
  Object object;
  object.type_ = Type::kArray;
  object.array_ = std::make_shared<const Array>(std::move(items));
  return object;
}

Object Object::MakeDictionary(Dictionary entries, bool isStream) {
  Object object;
  object.type_ = Type::kDictionary;
  object.stream_ = isStream;
  object.dictionary_ = std::make_shared<const Dictionary>(std::move(entries));
  return object;
}

Object Object::Reference(ObjectId id) {
  Object object;
  object.type_ = Type::kReference;
  object.id_ = id;
  return object;
}

const Array& Object::Items() const {
  return type_ == Type::kArray ? *array_ : EmptyArray();
}

const Object& Object::At(std::size_t index) const {
  const Array& items = Items();
  return index < items.size() ? items[index] : NullObject();
}

const Dictionary& Object::Entries() const {
  return type_ == Type::kDictionary ? *dictionary_ : EmptyDictionary();
}

const Object& Object::Get(const char* key) const {
  for (const auto& entry : Entries())
    if (entry.first == key) return entry.second;
  return NullObject();
}

}  // namespace pdf
}  // namespace vellox
