#include "platform/files.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <string>

namespace vellox {
namespace platform {
namespace {

// Seeded from more than the random device, which some runtimes implement
// as a fixed sequence: two runs started at once must not walk through the
// same names.
std::mt19937 NameGenerator() {
  std::random_device device;
  const auto ticks = static_cast<std::uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
  std::seed_seq seed{device(), ProcessId(), static_cast<std::uint32_t>(ticks),
                     static_cast<std::uint32_t>(ticks >> 32)};
  return std::mt19937(seed);
}

}  // namespace

Status CreateTemporaryFile(const std::string& target, std::unique_ptr<WritableFile>* file,
                           std::string* temporaryPath) {
  file->reset();
  static const char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::mt19937 random = NameGenerator();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = target + ".tmp-";
    for (int i = 0; i < 8; ++i) path += kLetters[random() % (sizeof kLetters - 1)];
    bool taken = false;
    Status status = CreateNewFile(path, file, &taken);
    if (taken) continue;
    if (!status.ok()) return status;
    *temporaryPath = path;
    return Status::OK();
  }
  return Status::IoError("cannot find a free temporary file name");
}

std::string ErrorText(int error) {
  std::string text = std::strerror(error);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

Status ErrorStatus(int error) {
  return Status(error == ENOENT || error == ENOTDIR ? StatusCode::kNotFound : StatusCode::kIoError,
                ErrorText(error));
}

}  // namespace platform
}  // namespace vellox
