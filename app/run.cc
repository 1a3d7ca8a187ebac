#include "app/run.h"

#include <cstdio>
#include <thread>

#include "app/argument_table.h"
#include "app/convert_file.h"
#include "app/convert_folder.h"
#include "app/depth_limit.h"
#include "app/show.h"
#include "app/sync_events.h"
#include "app/usage.h"
#include "platform/code_page.h"
#include "platform/com.h"
#include "platform/directory.h"
#include "platform/interrupts.h"

namespace vellox {
namespace {

// Initialises the component library for the run's thread and undoes it at
// the end, on every way out.
class ComponentLibraryScope {
 public:
  ComponentLibraryScope() { platform::InitializeComponentLibrary(); }
  ~ComponentLibraryScope() { platform::UninitializeComponentLibrary(); }
  ComponentLibraryScope(const ComponentLibraryScope&) = delete;
  ComponentLibraryScope& operator=(const ComponentLibraryScope&) = delete;
};

void Say(const std::string& message) { std::fprintf(stderr, "vellox: %s\n", message.c_str()); }

int UsageError(const std::string& message) {
  Say(message);
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

// The value of -j: a whole number of threads, by default one per core.
bool ParseJobs(const ArgumentTable& arguments, unsigned* jobs) {
  unsigned cores = std::thread::hardware_concurrency();
  *jobs = cores > 0 ? cores : 1;
  if (!arguments.HasOption("-j")) return true;
  std::string value = arguments.GetValue("-j", 0);
  if (value.empty() || value.size() > 4) return false;
  unsigned n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<unsigned>(c - '0');
  }
  if (n < 1 || n > 1024) return false;
  *jobs = n;
  return true;
}

int ConvertOne(const std::string& inputPath, std::int32_t depthLimit) {
  Conversion conversion = ConvertFile(inputPath, depthLimit);
  for (const std::string& warning : conversion.warnings) Say("warning: " + warning);
  if (!conversion.status.ok()) {
    Say(conversion.status.message());
    return kExitFailure;
  }
  // A limit below -1 admits no level, so it says nothing about the outline.
  if (!conversion.hasOutline && depthLimit >= -1)
    Say("'" + inputPath + "' has no outline; the bookmark file is empty");
  return kExitSuccess;
}

int Dispatch(const ArgumentTable& arguments, std::string* inputPath) {
  std::int32_t depthLimit =
      arguments.HasOption("-ML") ? ParseDepthLimit(arguments.GetValue("-ML", 0)) : -1;
  unsigned jobs = 0;
  if (!ParseJobs(arguments, &jobs)) return UsageError("-j takes a number of threads from 1 to 1024");

  bool show = arguments.HasOption("--show");
  std::string argument = show ? arguments.GetValue("--show", 0) : "";
  if (argument.empty()) argument = arguments.GetValue("", 0);
  if (argument.empty()) return UsageError(show ? "--show needs a file" : "no PDF file given");

  Status status = arguments.ResolvePath(argument, inputPath);
  if (!status.ok()) {
    Say("cannot read '" + argument + "': " + status.message());
    return kExitFailure;
  }
  if (show) return ShowBookmarks(*inputPath, depthLimit);

  int code = platform::KindOf(*inputPath) == platform::FileKind::kDirectory
                 ? ConvertFolder(*inputPath, depthLimit, jobs)
                 : ConvertOne(*inputPath, depthLimit);
  if (code == kExitSuccess) std::fputs(kBanner, stdout);
  return code;
}

}  // namespace

int Run(int argc, const char* const* argv, std::string* inputPath) {
  platform::InitializeCodePage();
  platform::RemoveTemporaryFilesOnInterrupt();
  SyncEvents events;
  for (const std::string& warning : events.Warnings()) Say("warning: " + warning);
  ComponentLibraryScope library;

  ArgumentTable arguments;
  arguments.Parse(argc, argv);
  if (arguments.HasOption("-h") || arguments.HasOption("--help")) {
    std::fputs(kUsage, stdout);
    return kExitSuccess;
  }
  if (arguments.HasOption("--version")) {
    std::fputs(kVersion, stdout);
    return kExitSuccess;
  }
  return Dispatch(arguments, inputPath);
}

}  // namespace vellox
