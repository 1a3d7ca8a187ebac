#include "app/argument_table.h"

#include "platform/paths.h"

namespace vellox {
namespace {

bool IsOption(const std::string& argument) {
  return argument.size() >= 2 && argument[0] == '-' &&
         !(argument[1] >= '0' && argument[1] <= '9');
}

}  // namespace

bool ArgumentTable::Parse(int argc, const char* const* argv) {
  options.clear();
  optionOrder.clear();

  baseDirectory = platform::BaseDirectory(argc > 0 && argv[0] != nullptr ? argv[0] : "",
                                          &baseIsProgramFolder);

  // Groups: an option (or, before the first one, the empty key) and the
  // values up to the next option.
  int i = 1;
  while (i < argc) {
    std::string key;
    std::vector<std::string> values;
    if (IsOption(argv[i])) {
      key = argv[i++];
      if (options.count(key) == 0) optionOrder.push_back(key);
    }
    while (i < argc && !IsOption(argv[i])) values.push_back(argv[i++]);
    std::vector<std::string>& list = options[key];
    list.insert(list.end(), values.begin(), values.end());
  }
  return true;
}

bool ArgumentTable::HasOption(const std::string& key) const {
  return options.count(key) != 0;
}

std::string ArgumentTable::GetValue(const std::string& key,
                                    std::uint32_t index) const {
  auto found = options.find(key);
  if (found == options.end() || index >= found->second.size()) return "";
  return found->second[index];
}

bool ArgumentTable::TakesFromProgramFolder(const std::string& path) const {
  return baseIsProgramFolder && platform::IsRelativePath(path);
}

Status ArgumentTable::ResolvePath(const std::string& path,
                                  std::string* resolved) const {
  std::string combined;
  Status status = platform::CombinePath(baseDirectory, path, &combined);
  if (!status.ok()) return status;
  return platform::CanonicalizePath(combined, resolved);
}

}  // namespace vellox
