#include "app/user_messages.h"

#include "app/print_message.h"

namespace vellox {
namespace {

// Shared with PrintOutOfMemory, which cannot build the line as a string.
constexpr const char* kCannotConvert = "cannot convert '";
constexpr const char* kOutOfMemory = "out of memory";

Status Failed(const std::string& what, const std::string& path, const Status& reason) {
  return reason.WithContext(what + path + "'");
}

Status CannotConvert(const std::string& pdf, const std::string& reason) {
  return Status::IoError(kCannotConvert + pdf + "': " + reason);
}

}  // namespace

Status CannotRead(const std::string& path, const Status& reason) {
  return Failed("cannot read '", path, reason);
}

Status InNeitherFolder(const std::string& programPath, const std::string& currentPath) {
  return Status::NotFound("it is in neither the program's folder ('" + programPath +
                          "') nor the current directory ('" + currentPath + "')");
}

Status UnusablePathArgument(const std::string& argument, const Status& reason) {
  return Failed("'", argument, reason);
}

Status CannotWrite(const std::string& path, const Status& reason) {
  return Failed("cannot write '", path, reason);
}

Status WouldReplaceInput(const std::string& pdf) {
  return CannotConvert(pdf, "the bookmark file would replace the input file");
}

Status SharesBookmarkFile(const std::string& pdf, const std::string& earlier) {
  return CannotConvert(pdf, "'" + earlier + "' has the same bookmark file, letter case aside");
}

Status OutOfMemory(const std::string& pdf) { return CannotConvert(pdf, kOutOfMemory); }

Status NotABookmarkFile(const std::string& path, const Status& reason) {
  return reason.WithContext("'" + path + "' is not a bookmark file");
}

Status CannotSyncFolder(const std::string& folder, const Status& reason) {
  return Failed("cannot write to '", folder, reason);
}

std::vector<std::string> OutlineWarnings(const std::string& pdf, const OutlineReport& report) {
  std::vector<std::string> warnings;
  if (!report.warning.empty()) warnings.push_back(Warning("'" + pdf + "': " + report.warning));
  if (report.depthCut)
    warnings.push_back(Warning("'" + pdf + "': the outline is nested deeper than " +
                               std::to_string(kMaxOutlineDepth) +
                               " levels; the deeper bookmarks are left out"));
  return warnings;
}

std::string TakenFromProgramFolder(const std::string& name, const std::string& programPath,
                                   const std::string& currentPath) {
  // PowerShell names the program by its full path however it was typed;
  // its $PWD is the current directory's full path.
  const std::string full = name == "." ? "$PWD" : "$PWD\\" + name;
  return Warning("'" + name + "' is taken from the program's folder ('" + programPath +
                 "'), not from the current directory ('" + currentPath +
                 "'): for that one, give its full path (in PowerShell: \"" + full + "\")");
}

std::string UnknownOption(const std::string& option) {
  return Warning("unknown option '" + option + "' ignored");
}

std::string IgnoredNames(const std::string& first, std::size_t more) {
  const std::string others =
      more == 0 ? "" : " and " + std::to_string(more) + (more == 1 ? " more name" : " more names");
  return Warning("'" + first + "'" + others +
                 " ignored: vellox takes one file or folder at a time");
}

std::string UnknownReader(const std::string& value) {
  return Warning("unknown VELLOX_READER '" + value + "' ignored; the default, auto, is used");
}

std::string Warning(const std::string& note) { return "warning: " + note; }

std::string NoOutline(const std::string& pdf) {
  return "'" + pdf + "' has no outline; the bookmark file is empty";
}

std::string FolderSummary(std::size_t pdfs, std::size_t converted, std::size_t withoutOutline,
                          std::size_t failed) {
  return std::to_string(pdfs) + (pdfs == 1 ? " PDF: " : " PDFs: ") + std::to_string(converted) +
         " converted, " + std::to_string(withoutOutline) + " without outline, " +
         std::to_string(failed) + " failed";
}

std::string CannotWriteStandardOutput(const std::string& reason) {
  return "cannot write to standard output: " + reason;
}

void PrintOutOfMemory(const std::string& pdf) {
  static const std::string kNothing;
  if (pdf.empty()) {
    PrintMessage(kOutOfMemory, kNothing, "");
  } else {
    PrintMessage(kCannotConvert, pdf, "': out of memory");
  }
}

}  // namespace vellox
