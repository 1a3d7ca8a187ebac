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
  // `path` combined with the base directory and canonicalised.
  Status ResolvePath(const std::string& path, std::string* resolved) const;
  // True when `path` is relative and the base directory is the program's
  // own (Windows, started by a path with a backslash), not the current
  // directory a user would expect.
  bool TakesFromProgramFolder(const std::string& path) const;

  const std::string& BaseDirectory() const { return baseDirectory; }

 private:
  std::string baseDirectory;
  bool baseIsProgramFolder = false;
  std::map<std::string, std::vector<std::string>> options;
  std::vector<std::string> optionOrder;
};

}  // namespace vellox

#endif  // VELLOX_APP_ARGUMENT_TABLE_H_
