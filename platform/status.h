#ifndef VELLOX_PLATFORM_STATUS_H_
#define VELLOX_PLATFORM_STATUS_H_

#include <string>
#include <utility>

namespace vellox {

// The outcome of an operation: success, or a one-line reason that main
// prints after "vellox: ". Errors travel up as values; nothing deep inside
// the program prints.
class Status {
 public:
  static Status OK() { return Status(); }
  static Status Error(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !failed_; }
  const std::string& message() const { return message_; }

 private:
  Status() = default;
  explicit Status(std::string message)
      : failed_(true), message_(std::move(message)) {}

  bool failed_ = false;
  std::string message_;
};

}  // namespace vellox

#endif  // VELLOX_PLATFORM_STATUS_H_
