// An argument vector (the input split at NUL bytes; the first piece is
// argument 0) through the argument table, the depth limit and the path
// functions, each checked against a plain model of what it must do.

#include <sys/stat.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/argument_table.h"
#include "app/depth_limit.h"
#include "app/output_path.h"
#include "fuzz_support.h"
#include "platform/code_page.h"

namespace {

using vellox::fuzz::Fail;

bool IsOption(const std::string& a) {
  return a.size() >= 2 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9');
}

// atoi's reading, clamped to 32 bits, by way of the C library.
std::int32_t ModelDepthLimit(const std::string& value) {
  long long parsed = std::strtoll(value.c_str(), nullptr, 10);
  if (parsed > INT32_MAX) return INT32_MAX;
  if (parsed < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(parsed);
}

// The last path element's extension replaced by ".pdr" (UTF-8: neither
// '/' nor '.' is ever part of a longer character).
std::string ModelOutputPath(const std::string& input) {
  std::size_t slash = input.rfind('/');
  std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = input.rfind('.');
  if (dot == std::string::npos || dot <= start) return input + ".pdr";
  return input.substr(0, dot) + ".pdr";
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

void CheckOutputPath(const std::string& input) {
  const std::string output = vellox::DeriveOutputPath(input);
  FUZZ_CHECK(output == ModelOutputPath(input), "output path '" + output + "' for '" + input + "'");
  FUZZ_CHECK(EndsWith(output, ".pdr"), "output path without .pdr: '" + output + "'");
  std::size_t slash = input.rfind('/');
  std::string directory = slash == std::string::npos ? "" : input.substr(0, slash + 1);
  FUZZ_CHECK(output.compare(0, directory.size(), directory) == 0,
             "output path leaves the input's directory: '" + output + "'");
  const bool lastElementIsPdr =
      EndsWith(input, ".pdr") && input.size() - 4 > directory.size();
  FUZZ_CHECK((output == input) == lastElementIsPdr,
             "output path equals the input '" + input + "'");
}

// A canonical path has no empty or "." elements (unless it is "."), and an
// inner ".." only after a name that is not a real directory.
void CheckCanonical(const std::string& path) {
  bool absolute = !path.empty() && path[0] == '/';
  bool pastLeadingUps = absolute;
  std::size_t start = absolute ? 1 : 0;
  if (path == "/" || path == ".") return;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string element = path.substr(start, end - start);
    FUZZ_CHECK(!element.empty() && element != ".", "canonical path '" + path + "' has '" + element + "'");
    if (element == "..") {
      struct stat info;
      std::string before = path.substr(0, start - 1);
      FUZZ_CHECK(!pastLeadingUps || lstat(before.c_str(), &info) != 0 || !S_ISDIR(info.st_mode),
                 "canonical path '" + path + "' keeps a '..' after a directory");
    } else {
      pastLeadingUps = true;
    }
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("LC_ALL", "C", 1);
  vellox::platform::InitializeCodePage();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> pieces;
  std::string piece;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.push_back(piece);
      piece.clear();
    } else {
      piece.push_back(static_cast<char>(data[i]));
    }
  }
  pieces.push_back(piece);
  if (pieces.size() > 64) pieces.resize(64);
  std::vector<const char*> argv;
  for (const std::string& p : pieces) argv.push_back(p.c_str());
  argv.push_back(nullptr);

  vellox::ArgumentTable table;
  table.Parse(static_cast<int>(pieces.size()), argv.data());

  // The grouping: values belong to the option before them, repeated
  // options gather their values in order.
  std::map<std::string, std::vector<std::string>> model;
  for (std::size_t i = 1; i < pieces.size();) {
    std::string key;
    if (IsOption(pieces[i])) key = pieces[i++];
    std::vector<std::string>& values = model[key];
    while (i < pieces.size() && !IsOption(pieces[i])) values.push_back(pieces[i++]);
  }
  for (const auto& [key, values] : model) {
    FUZZ_CHECK(table.HasOption(key), "option '" + key + "' is missing");
    for (std::size_t i = 0; i <= values.size(); ++i) {
      std::string expected = i < values.size() ? values[i] : "";
      FUZZ_CHECK(table.GetValue(key, static_cast<std::uint32_t>(i)) == expected,
                 "value " + std::to_string(i) + " of '" + key + "'");
    }
  }
  for (const char* key : {"-ML", "", "-h", "--help", "--version", "-"}) {
    FUZZ_CHECK(table.HasOption(key) == (model.count(key) != 0),
               std::string("HasOption('") + key + "')");
  }

  const std::string depth = table.GetValue("-ML", 0);
  FUZZ_CHECK(vellox::ParseDepthLimit(depth) == ModelDepthLimit(depth),
             "depth limit of '" + depth + "'");

  for (const std::string& p : pieces) CheckOutputPath(p);
  std::string resolved;
  const std::string path = table.GetValue("", 0);
  vellox::Status status = table.ResolvePath(path, &resolved);
  if (status.ok()) {
    CheckCanonical(resolved);
    CheckOutputPath(resolved);
  }
  return 0;
}
