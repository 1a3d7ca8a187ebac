#ifndef VELLOX_APP_USER_MESSAGES_H_
#define VELLOX_APP_USER_MESSAGES_H_

#include <cstddef>
#include <string>
#include <vector>

#include "base/status.h"
#include "outline/bookmarks_from_outline.h"

// Every line the user reads on standard error, in words. Deeper code gives
// bare reasons ("No such file or directory", "damaged (no startxref)");
// these name the file and what could not be done with it. Each is one
// line without the "vellox: " that PrintMessage (print_message.h) puts
// before it. A failure stays a Status, with its code, so that it can
// travel to where it is printed; an OK status passes through unchanged.
namespace vellox {

// "cannot read 'PATH': REASON"
Status CannotRead(const std::string& path, const Status& reason);
// "it is in neither the program's folder ('PROGRAM_PATH') nor the current
// directory ('CURRENT_PATH')", the reason a relative name was not found
Status InNeitherFolder(const std::string& programPath, const std::string& currentPath);
// "'ARGUMENT': REASON", for a command-line path that cannot name a file
Status UnusablePathArgument(const std::string& argument, const Status& reason);
// "cannot write 'PATH': REASON"
Status CannotWrite(const std::string& path, const Status& reason);
// "cannot convert 'PDF': the bookmark file would replace the input file"
Status WouldReplaceInput(const std::string& pdf);
// "cannot convert 'PDF': 'EARLIER' has the same bookmark file, letter case aside"
Status SharesBookmarkFile(const std::string& pdf, const std::string& earlier);
// "cannot convert 'PDF': out of memory"
Status OutOfMemory(const std::string& pdf);
// "'PATH' is not a bookmark file: REASON" (the decoder's reason says where)
Status NotABookmarkFile(const std::string& path, const Status& reason);
// "cannot write to 'FOLDER': REASON", when the folder's files cannot be
// flushed to the disk
Status CannotSyncFolder(const std::string& folder, const Status& reason);

// "warning: 'PDF': NOTE", one per thing noticed about the PDF's outline:
// the reader's note on a file it had to repair, levels cut.
std::vector<std::string> OutlineWarnings(const std::string& pdf, const OutlineReport& report);
// "warning: 'NAME' is taken from the program's folder ('PROGRAM_PATH'), not
// from the current directory ('CURRENT_PATH'): ...", for a relative name in
// both, saying how to name the other
std::string TakenFromProgramFolder(const std::string& name, const std::string& programPath,
                                   const std::string& currentPath);
// "warning: unknown option 'OPTION' ignored"
std::string UnknownOption(const std::string& option);
// "warning: 'NAME' ignored: ...", or "'NAME' and N more names ignored: ...",
// for the names after the one a run takes
std::string IgnoredNames(const std::string& first, std::size_t more);
// "warning: unknown VELLOX_READER 'VALUE' ignored; ...", for a value that
// is read as the default
std::string UnknownReader(const std::string& value);
// "warning: NOTE", for a note that names what it is about itself.
std::string Warning(const std::string& note);

// "'PDF' has no outline; the bookmark file is empty"
std::string NoOutline(const std::string& pdf);
// "N PDFs: N converted, N without outline, N failed"
std::string FolderSummary(std::size_t pdfs, std::size_t converted, std::size_t withoutOutline,
                          std::size_t failed);
// "cannot write to standard output: REASON"
std::string CannotWriteStandardOutput(const std::string& reason);

// Mistakes on the command line; the usage text follows each.
constexpr const char* kNoPdfGiven = "no PDF file given";
constexpr const char* kShowNeedsAFile = "--show needs a file";
constexpr const char* kLabelsTakeNoValue = "-PL takes no value";
constexpr const char* kJobsOutOfRange = "-j takes a number of threads from 1 to 1024";

// Prints "cannot convert 'PDF': out of memory", or "out of memory" when no
// PDF is known yet, allocating nothing.
void PrintOutOfMemory(const std::string& pdf);

}  // namespace vellox

#endif  // VELLOX_APP_USER_MESSAGES_H_
