#include "app/run.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/argument_table.h"
#include "app/component_library_scope.h"
#include "app/convert_file.h"
#include "app/convert_folder.h"
#include "app/depth_limit.h"
#include "app/message.h"
#include "app/show.h"
#include "app/sync_events.h"
#include "app/usage.h"
#include "app/user_messages.h"
#include "pdf/read_outline.h"
#include "platform/code_page.h"
#include "platform/command_line.h"
#include "platform/com.h"
#include "platform/directory.h"
#include "platform/interrupts.h"
#include "platform/standard_output.h"

namespace vellox {
namespace {

int UsageError(const char* message) {
  PrintMessage(message);
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

// The value of -j: a whole number of threads, by default one per core.
bool ParseJobs(const ArgumentTable& arguments, unsigned* jobs) {
  unsigned cores = std::thread::hardware_concurrency();
  *jobs = cores > 0 ? cores : 1;
  if (!arguments.HasOption("-j")) return true;
  std::string value = arguments.GetValue("-j", 0);
  if (value.empty()) return false;
  unsigned n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    n = std::min(n * 10 + static_cast<unsigned>(c - '0'), 1025u);  // past the limit stays past it
  }
  if (n < 1 || n > 1024) return false;
  *jobs = n;
  return true;
}

// An option this program does not know is most likely a typo: say so, and
// go on without it (its values stay with it, as the grammar has them).
void WarnAboutUnknownOptions(const ArgumentTable& arguments) {
  static const char* const kKnown[] = {"-ML", "-PL", "-j", "--show", "-h", "--help", "--version"};
  for (const std::string& option : arguments.Options()) {
    if (std::find(std::begin(kKnown), std::end(kKnown), option) == std::end(kKnown))
      PrintMessage(UnknownOption(option));
  }
}

int ConvertOne(const std::string& inputPath, const OutlineOptions& options) {
  Conversion conversion = ConvertFile(inputPath, options);
  for (const std::string& warning : OutlineWarnings(inputPath, conversion.outline))
    PrintMessage(warning);
  if (!conversion.status.ok()) {
    PrintMessage(conversion.status.message());
    return kExitFailure;
  }
  // A limit below -1 admits no level, so it says nothing about the outline.
  if (!conversion.outline.hasOutline && options.depthLimit >= -1)
    PrintMessage(NoOutline(inputPath));
  return kExitSuccess;
}

// "/?" too, where it can name no file (Windows).
bool AsksForHelp(const ArgumentTable& arguments) {
  if (arguments.HasOption("-h") || arguments.HasOption("--help")) return true;
  const std::vector<std::string>& names = arguments.Values("");
  return std::any_of(names.begin(), names.end(), platform::IsHelpArgument);
}

// One file or folder a run: a shell that expands "*.pdf" gives several.
void WarnAboutIgnoredNames(const ArgumentTable& arguments) {
  std::vector<std::string> names = arguments.Values("--show");
  const std::vector<std::string>& positional = arguments.Values("");
  names.insert(names.end(), positional.begin(), positional.end());
  names.erase(std::remove(names.begin(), names.end(), std::string()), names.end());
  if (names.size() > 1) PrintMessage(IgnoredNames(names[1], names.size() - 2));
}

// Does what the arguments ask for: shows the bookmarks of a file, or
// converts one PDF or a folder of them.
int ConvertOrShow(const ArgumentTable& arguments, std::string* inputPath) {
  OutlineOptions options;
  if (arguments.HasOption("-ML"))
    options.depthLimit = ParseDepthLimit(arguments.GetValue("-ML", 0));
  options.printedLabels = arguments.HasOption("-PL");
  // Most likely "-PL book.pdf", which would otherwise say no file was given.
  if (!arguments.GetValue("-PL", 0).empty()) return UsageError(kLabelsTakeNoValue);
  unsigned jobs = 0;
  if (!ParseJobs(arguments, &jobs)) return UsageError(kJobsOutOfRange);

  bool show = arguments.HasOption("--show");
  std::string argument = show ? arguments.GetValue("--show", 0) : "";
  if (argument.empty()) argument = arguments.GetValue("", 0);
  if (argument.empty()) return UsageError(show ? kShowNeedsAFile : kNoPdfGiven);

  Status checked = platform::CheckCommandLinePath(argument);
  if (!checked.ok()) {
    PrintMessage(UnusablePathArgument(argument, checked).message());
    return kExitUsage;
  }
  WarnAboutIgnoredNames(arguments);
  std::string warning;
  Status status = arguments.ResolvePath(argument, inputPath, &warning);
  if (!status.ok()) {
    PrintMessage(CannotRead(argument, status).message());
    return kExitFailure;
  }
  if (!warning.empty()) PrintMessage(warning);
  const std::string reader = pdf::UnknownReaderChoice();
  if (!reader.empty()) PrintMessage(UnknownReader(reader));
  // Only a run initialises the component library: the usage, the version
  // and a usage error need none, and its DLLs load at the first call.
  ComponentLibraryScope library;
  if (show) return ShowBookmarks(*inputPath, options);

  int code = platform::KindOf(*inputPath) == platform::FileKind::kDirectory
                 ? ConvertFolder(*inputPath, options, jobs)
                 : ConvertOne(*inputPath, options);
  if (code == kExitSuccess) std::fputs(kBanner, stdout);
  return code;
}

}  // namespace

int Run(int argc, const char* const* argv, std::string* inputPath) {
  platform::InitializeCodePage();
  platform::RemoveTemporaryFilesOnInterrupt();
  platform::TurnWriteSignalsIntoErrors();
  SyncEvents events;
  for (const std::string& warning : events.Warnings()) PrintMessage(Warning(warning));

  ArgumentTable arguments;
  arguments.Parse(argc, argv);
  WarnAboutUnknownOptions(arguments);
  int code;
  if (AsksForHelp(arguments)) {
    std::fputs(kUsage, stdout);
    code = kExitSuccess;
  } else if (arguments.HasOption("--version")) {
    std::fputs(kVersion, stdout);
    code = kExitSuccess;
  } else {
    code = ConvertOrShow(arguments, inputPath);
  }
  // What was printed is part of the result: output lost to a full disk or
  // a closed pipe is a failure. A reader that left (`| head -1`) did so on
  // purpose, as a program ended by SIGPIPE would say nothing: the exit
  // status tells a script, a line would be noise after the lines it chose.
  bool readerGone = false;
  Status printed = platform::FlushStandardOutput(&readerGone);
  if (!printed.ok()) {
    if (!readerGone) PrintMessage(CannotWriteStandardOutput(printed.message()));
    return kExitFailure;
  }
  return code;
}

}  // namespace vellox
