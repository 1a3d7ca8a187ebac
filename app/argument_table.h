#ifndef VELLOX_APP_ARGUMENT_TABLE_H_
#define VELLOX_APP_ARGUMENT_TABLE_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/status.h"

namespace vellox {

// The command line as a base directory and a table from option to values.
// An argument is an option when it is at least two bytes long, starts with
// '-' and its second byte is not a digit (so "-5" is a value). Values
// belong to the option before them; those before any option are
// positional and stored under the empty key. Keys match byte for byte.
class ArgumentTable {
 public:
  // Replaces the table's content. Always returns true.
  bool Parse(int argc, const char* const* argv);

  // True when `key` was given, also without values.
  bool HasOption(const std::string& key) const;
  // Value `index` of `key`; empty when there is no such value.
  std::string GetValue(const std::string& key, std::uint32_t index) const;
  // The options given, each once, in the order they first came.
  const std::vector<std::string>& Options() const { return optionOrder; }
  // The values of `key` in order; empty when there are none.
  const std::vector<std::string>& Values(const std::string& key) const;
  // The file or folder `path` names, as a full path. A relative path is
  // taken from the current directory; on Windows, where the program was
  // started by a path with a backslash, from the program's folder where
  // it exists there, else from the current directory where it exists
  // there. When it is in both, the program's folder wins and `warning`
  // (when given) says so, naming the other; when it is in neither, the
  // failure names both.
  Status ResolvePath(const std::string& path, std::string* resolved,
                     std::string* warning = nullptr) const;

  const std::string& BaseDirectory() const { return baseDirectory; }

 private:
  std::string baseDirectory;
  bool baseIsProgramFolder = false;
  std::map<std::string, std::vector<std::string>> options;
  std::vector<std::string> optionOrder;
};

}  // namespace vellox

#endif  // VELLOX_APP_ARGUMENT_TABLE_H_
