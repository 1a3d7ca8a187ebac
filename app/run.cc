#include "app/run.h"

#include <cstdio>

#include "app/argument_table.h"
#include "app/depth_limit.h"
#include "app/output_path.h"
#include "app/sync_events.h"
#include "app/usage.h"
#include "bookmarks/bookmark_list.h"
#include "outline/outline_walker.h"
#include "platform/code_page.h"
#include "platform/com.h"
#include "platform/paths.h"

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

int Fail(const std::string& message) {
  std::fprintf(stderr, "vellox: %s\n", message.c_str());
  return kExitFailure;
}

void Note(const std::string& message) {
  std::fprintf(stderr, "vellox: %s\n", message.c_str());
}

int Convert(const ArgumentTable& arguments, std::string* inputPath) {
  std::int32_t depthLimit =
      arguments.HasOption("-ML") ? ParseDepthLimit(arguments.GetValue("-ML", 0)) : -1;

  std::string argument = arguments.GetValue("", 0);
  if (argument.empty()) {
    std::fputs("vellox: no PDF file given\n", stderr);
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  Status status = arguments.ResolvePath(argument, inputPath);
  if (!status.ok()) return Fail("cannot read '" + argument + "': " + status.message());

  const std::string outputPath = DeriveOutputPath(*inputPath);
  if (outputPath == *inputPath || platform::IsSameFile(*inputPath, outputPath))
    return Fail("cannot convert '" + *inputPath +
                "': the bookmark file would replace the input file");

  BookmarkList list;
  OutlineReport report;
  status = ReadOutline(*inputPath, &list, depthLimit, &report);
  if (!status.ok()) return Fail(status.message());
  if (!report.warning.empty())
    Note("warning: '" + *inputPath + "': " + report.warning);
  if (report.depthCut)
    Note("warning: '" + *inputPath + "': the outline is nested deeper than " +
         std::to_string(kMaxOutlineDepth) + " levels; the deeper bookmarks are left out");
  if (!report.hasOutline && depthLimit >= -1)
    Note("'" + *inputPath + "' has no outline; the bookmark file is empty");

  status = list.SaveToFile(outputPath);
  if (!status.ok()) return Fail(status.message());

  std::fputs(kBanner, stdout);
  return kExitSuccess;
}

}  // namespace

int Run(int argc, const char* const* argv, std::string* inputPath) {
  platform::InitializeCodePage();
  SyncEvents events;
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
  return Convert(arguments, inputPath);
}

}  // namespace vellox
