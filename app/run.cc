#include "app/run.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/argument_table.h"
#include "app/conversion_report.h"
#include "app/convert_file.h"
#include "app/convert_folder.h"
#include "app/depth_limit.h"
#include "app/exit_code.h"
#include "app/print_message.h"
#include "app/show.h"
#include "app/sync_events.h"
#include "app/usage.h"
#include "app/user_messages.h"
#include "platform/code_page.h"
#include "platform/command_line.h"
#include "platform/component_library.h"
#include "platform/directory.h"
#include "platform/interrupts.h"
#include "platform/standard_output.h"
#include "reading/read_with_chosen_reader.h"

namespace vellox {
namespace {

int UsageError(const char* message) {
  PrintMessage(message);
  std::fputs(kUsage, stderr);
  return kExitUsage;
}

// The value of -j: a whole number of threads; 0 when not given.
bool ParseJobs(const ArgumentTable& arguments, unsigned* jobs) {
  *jobs = 0;
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
  const Outcome outcome = ReportConversion(inputPath, ConvertFile(inputPath, options));
  if (outcome == Outcome::kFailed) return kExitFailure;
  // A limit below -1 admits no level, so it says nothing about the outline.
  if (outcome == Outcome::kWithoutOutline && options.depthLimit >= -1)
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
  const std::string reader = UnknownReaderChoice();
  if (!reader.empty()) PrintMessage(UnknownReader(reader));
  // Only a run initialises the component library: the usage, the version
  // and a usage error need none, and its DLLs load at the first call.
  platform::ComponentLibraryScope library;
  if (show) return ShowBookmarks(*inputPath, options);

  int code;
  if (platform::KindOf(*inputPath) == platform::FileKind::kDirectory) {
    // By default one thread per core; only a folder asks the system.
    if (jobs == 0) jobs = std::max(std::thread::hardware_concurrency(), 1u);
    code = ConvertFolder(*inputPath, options, jobs);
  } else {
    code = ConvertOne(*inputPath, options);
  }
  if (code == kExitSuccess) std::fputs(kBanner, stdout);
  return code;
}

}  // namespace

int Run(int argc, const char* const* argv, std::string* inputPath) {
  // Output lost to a closed pipe or a size limit is an error to report,
  // for every run, not a signal that ends it.
  platform::TurnWriteSignalsIntoErrors();
  ArgumentTable arguments;
  arguments.Parse(argc, argv);
  int code;
  const bool help = AsksForHelp(arguments);
  if (help || arguments.HasOption("--version")) {
    // Printing the usage or the version converts nothing: the locale, the
    // interrupt handler and the named events that tell other programs a
    // conversion runs are for conversions.
    WarnAboutUnknownOptions(arguments);
    std::fputs(help ? kUsage : kVersion, stdout);
    code = kExitSuccess;
  } else {
    platform::InitializeCodePage();
    platform::RemoveTemporaryFilesOnInterrupt();
    SyncEvents events;
    for (const std::string& warning : events.Warnings()) PrintMessage(Warning(warning));
    WarnAboutUnknownOptions(arguments);
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
