#ifndef VELLOX_COMPONENT_COM_REFERENCE_H_
#define VELLOX_COMPONENT_COM_REFERENCE_H_

#include <utility>

#include "platform/com.h"

namespace vellox {

// Holds one reference to a component's interface and gives it back
// exactly once: on Reset, on reassignment or when the holder goes away.
template <typename T>
class ComReference {
 public:
  ComReference() = default;
  ~ComReference() { Reset(); }
  ComReference(const ComReference&) = delete;
  ComReference& operator=(const ComReference&) = delete;
  ComReference(ComReference&& other) noexcept : pointer(other.pointer) {
    other.pointer = nullptr;
  }
  ComReference& operator=(ComReference&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer = other.pointer;
      other.pointer = nullptr;
    }
    return *this;
  }

  void Reset() {
    if (pointer != nullptr) {
      T* released = pointer;
      pointer = nullptr;
      released->Release();
    }
  }
  // For an out-parameter: releases what is held and clears it first.
  T** Out() {
    Reset();
    return &pointer;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }

  T* get() const { return pointer; }
  T* operator->() const { return pointer; }
  explicit operator bool() const { return pointer != nullptr; }

 private:
  T* pointer = nullptr;
};

// Owns a BSTR and frees it with SysFreeString.
class BstrHolder {
 public:
  BstrHolder() = default;
  explicit BstrHolder(BSTR s) : string(s) {}
  ~BstrHolder() { SysFreeString(string); }
  BstrHolder(const BstrHolder&) = delete;
  BstrHolder& operator=(const BstrHolder&) = delete;

  BSTR get() const { return string; }
  BSTR* Out() {
    SysFreeString(string);
    string = nullptr;
    return &string;
  }

 private:
  BSTR string = nullptr;
};

}  // namespace vellox

#endif  // VELLOX_COMPONENT_COM_REFERENCE_H_
