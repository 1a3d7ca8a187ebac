#include "pdf/object.h"

#include <cstring>

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
  object.value_.integer = value ? 1 : 0;
  return object;
}

Object Object::Integer(std::int64_t value) {
  Object object;
  object.type_ = Type::kInteger;
  object.value_.integer = value;
  return object;
}

Object Object::Real(double value) {
  Object object;
  object.type_ = Type::kReal;
  object.value_.real = value;
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
  object.container_ = std::make_shared<const Array>(std::move(items));
  return object;
}

Object Object::MakeDictionary(Dictionary entries, bool isStream) {
  Object object;
  object.type_ = Type::kDictionary;
  object.stream_ = isStream;
  object.container_ = std::make_shared<const Dictionary>(std::move(entries));
  return object;
}

Object Object::Reference(ObjectId id) {
  Object object;
  object.type_ = Type::kReference;
  object.value_.id = id;
  return object;
}

const Array& Object::Items() const {
  return type_ == Type::kArray ? *static_cast<const Array*>(container_.get()) : EmptyArray();
}

const Object& Object::At(std::size_t index) const {
  const Array& items = Items();
  return index < items.size() ? items[index] : NullObject();
}

const Dictionary& Object::Entries() const {
  return type_ == Type::kDictionary ? *static_cast<const Dictionary*>(container_.get())
                                     : EmptyDictionary();
}

const Object& Object::Get(const char* key) const {
  const std::size_t length = std::strlen(key);
  for (const auto& entry : Entries()) {
    if (entry.first.size() == length && std::memcmp(entry.first.data(), key, length) == 0)
      return entry.second;
  }
  return NullObject();
}

}  // namespace pdf
}  // namespace vellox
