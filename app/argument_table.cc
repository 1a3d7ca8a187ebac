#include "app/argument_table.h"

#include "app/user_messages.h"
#include "platform/directory.h"
#include "platform/paths.h"

namespace vellox {
namespace {

bool IsOption(const std::string& argument) {
  return argument.size() >= 2 && argument[0] == '-' &&
         !(argument[1] >= '0' && argument[1] <= '9');
}

// `path` taken from `directory` and made full.
Status Resolve(const std::string& directory, const std::string& path, std::string* resolved) {
  std::string combined;
  Status status = platform::CombinePath(directory, path, &combined);
  if (!status.ok()) return status;
  return platform::CanonicalizePath(combined, resolved);
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

const std::vector<std::string>& ArgumentTable::Values(const std::string& key) const {
  static const std::vector<std::string> kNone;
  auto found = options.find(key);
  return found == options.end() ? kNone : found->second;
}

Status ArgumentTable::ResolvePath(const std::string& path, std::string* resolved,
                                  std::string* warning) const {
  if (warning != nullptr) warning->clear();
  std::string inBase;
  Status status = Resolve(baseDirectory, path, &inBase);
  if (!status.ok()) return status;
  // Argument 0 tells only how the program was named. Scripts that name it
  // by its path find their files in its folder; PowerShell, shortcuts and
  // "start" name it by its full path too, for a user who means the
  // current directory. So a name is taken from where it is, the program's
  // folder first.
  std::string current, inCurrent;
  if (!baseIsProgramFolder || !platform::IsRelativePath(path) ||
      !platform::CurrentDirectory(&current).ok() ||
      platform::IsSameFile(baseDirectory, current) || !Resolve(current, path, &inCurrent).ok()) {
    *resolved = inBase;
    return Status::OK();
  }
  const bool inProgramFolder = platform::KindOf(inBase) != platform::FileKind::kMissing;
  const bool inCurrentDirectory = platform::KindOf(inCurrent) != platform::FileKind::kMissing;
  if (!inProgramFolder && !inCurrentDirectory) return InNeitherFolder(inBase, inCurrent);
  *resolved = inProgramFolder ? inBase : inCurrent;
  if (inProgramFolder && inCurrentDirectory && warning != nullptr)
    *warning = TakenFromProgramFolder(path, inBase, inCurrent);
  return Status::OK();
}

}  // namespace vellox
