#ifndef VELLOX_TESTS_TEST_UTIL_H_
#define VELLOX_TESTS_TEST_UTIL_H_

#include <string>
#include <vector>

namespace vellox {
namespace testing {

// A fresh directory, removed with everything in it when the object goes.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }
  // `name` inside the directory.
  std::string Path(const std::string& name) const;
  // The names of the entries in the directory, sorted.
  std::vector<std::string> List() const;

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// Bytes from a list such as {0xDE, 0xAD}, for byte-exact expectations.
std::string Bytes(std::initializer_list<int> bytes);
// Bytes written as hex digits ("00ff 10"; spaces between pairs ignored),
// and bytes shown as lowercase hex digits: a standard's test vectors as
// it prints them.
std::string FromHex(const std::string& hex);
std::string ToHex(const std::string& bytes);

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_TEST_UTIL_H_
