#ifndef VELLOX_BASE_STATUS_OR_H_
#define VELLOX_BASE_STATUS_OR_H_

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "base/status.h"

namespace vellox {

// A value, or the Status that says why there is none. Asking for the value
// of a failure is a fault of the caller: it stops the program with the
// failure's message, as Abseil's StatusOr does, rather than read memory
// that holds no value.
template <typename T>
class [[nodiscard]] StatusOr {
 public:
  StatusOr(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
  StatusOr(Status status) : status_(std::move(status)) {  // NOLINT: implicit by design
    assert(!status_.ok() && "a StatusOr without a value needs a failure");
    if (status_.ok()) status_ = Status(StatusCode::kIoError, "no value");
  }

  bool ok() const { return value_.has_value(); }
  const Status& status() const { return status_; }

  // Only when ok(); otherwise the program stops.
  T& value() & { return CheckedValue(); }
  const T& value() const& { return CheckedValue(); }
  T&& value() && { return std::move(CheckedValue()); }
  T* operator->() { return &CheckedValue(); }
  const T* operator->() const { return &CheckedValue(); }
  T& operator*() & { return CheckedValue(); }
  const T& operator*() const& { return CheckedValue(); }

 private:
  T& CheckedValue() {
    if (!ok()) Die();
    return *value_;
  }
  const T& CheckedValue() const {
    if (!ok()) Die();
    return *value_;
  }
  [[noreturn]] void Die() const {
    std::fprintf(stderr, "vellox: internal error: the value of a failure was asked for: %s\n",
                 status_.message().c_str());
    std::abort();
  }

  Status status_;  // OK exactly when there is a value
  std::optional<T> value_;
};

}  // namespace vellox

#endif  // VELLOX_BASE_STATUS_OR_H_
