#ifndef VELLOX_BASE_STATUS_H_
#define VELLOX_BASE_STATUS_H_

#include <string>
#include <utility>

namespace vellox {

// What kind of failure a Status reports: the few distinctions that callers
// act on. The words for the user are the message's; the code is for the
// program.
enum class StatusCode {
  kOk = 0,
  kNotFound,     // no file or directory of that name
  kIoError,      // the system refused or failed an operation
  kInvalidData,  // the input is not what its format says (no PDF, a malformed .pdr)
  kDamaged,      // a PDF that needs repair (or a reader it lacks): another reader may cope
  kOverLimit,    // past a budget set against hostile input; final
  kUnavailable,  // a component or module that is not there
};

// The outcome of an operation: success, or a code and a short reason
// ("No such file or directory", "damaged (no startxref)"). A reason names
// no path and carries no "vellox: " or "cannot read": app/ puts those
// around it when it tells the user.
class [[nodiscard]] Status {
 public:
  Status() = default;  // success
  Status(StatusCode code, std::string message)
      : code_(code), message_(code == StatusCode::kOk ? std::string() : std::move(message)) {}

  static Status OK() { return Status(); }
  static Status NotFound(std::string message) {
    return Status(StatusCode::kNotFound, std::move(message));
  }
  static Status IoError(std::string message) {
    return Status(StatusCode::kIoError, std::move(message));
  }
  static Status InvalidData(std::string message) {
    return Status(StatusCode::kInvalidData, std::move(message));
  }
  static Status Damaged(std::string message) {
    return Status(StatusCode::kDamaged, std::move(message));
  }
  static Status OverLimit(std::string message) {
    return Status(StatusCode::kOverLimit, std::move(message));
  }
  static Status Unavailable(std::string message) {
    return Status(StatusCode::kUnavailable, std::move(message));
  }

  bool ok() const { return code_ == StatusCode::kOk; }
  StatusCode code() const { return code_; }
  const std::string& message() const { return message_; }

  // The same failure with `context` put before its reason: "context: reason".
  Status WithContext(const std::string& context) const {
    return ok() ? *this : Status(code_, context + ": " + message_);
  }

 private:
  StatusCode code_ = StatusCode::kOk;
  std::string message_;
};

}  // namespace vellox

#endif  // VELLOX_BASE_STATUS_H_
