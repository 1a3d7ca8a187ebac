#include "test_util.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace vellox {
namespace testing {

ScratchDirectory::ScratchDirectory() {
  std::random_device device;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() /
                         ("vellox-test-" + std::to_string(device()));
    if (fs::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch directory");
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  // Entries made read-only by a test must not stop the clean-up.
  for (auto& entry : fs::recursive_directory_iterator(path_, ignored))
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string ScratchDirectory::Path(const std::string& name) const {
  return (fs::path(path_) / name).string();
}

std::vector<std::string> ScratchDirectory::List() const {
  std::vector<std::string> names;
  for (auto& entry : fs::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
}

std::string Bytes(std::initializer_list<int> bytes) {
  std::string result;
  for (int b : bytes) result.push_back(static_cast<char>(b));
  return result;
}

std::string FromHex(const std::string& hex) {
  std::string result;
  int high = -1;
  for (char c : hex) {
    if (c == ' ' || c == '\n') continue;
    const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    if (high < 0) {
      high = digit;
    } else {
      result.push_back(static_cast<char>(high << 4 | digit));
      high = -1;
    }
  }
  return result;
}

std::string ToHex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string result;
  for (char c : bytes) {
    result.push_back(kDigits[static_cast<unsigned char>(c) >> 4]);
    result.push_back(kDigits[static_cast<unsigned char>(c) & 0xF]);
  }
  return result;
}

}  // namespace testing
}  // namespace vellox
