#ifndef VELLOX_BASE_STATUS_OR_H_
#define VELLOX_BASE_STATUS_OR_H_

#include <cassert>
#include <optional>
#include <utility>

#include "base/status.h"

namespace vellox {

// A value, or the Status that says why there is none.
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

  // Only when ok().
  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }

 private:
  Status status_;  // OK exactly when there is a value
  std::optional<T> value_;
};

}  // namespace vellox

#endif  // VELLOX_BASE_STATUS_OR_H_
