#include "app/convert_file.h"

#include "app/output_path.h"
#include "outline/outline_walker.h"
#include "platform/paths.h"

namespace vellox {

Conversion ReadBookmarks(const std::string& inputPath, const OutlineOptions& options,
                         BookmarkList* list) {
  Conversion conversion;
  OutlineReport report;
  conversion.status = ReadOutline(inputPath, list, options, &report);
  if (!report.warning.empty())
    conversion.warnings.push_back("'" + inputPath + "': " + report.warning);
  if (report.depthCut)
    conversion.warnings.push_back("'" + inputPath + "': the outline is nested deeper than " +
                                  std::to_string(kMaxOutlineDepth) +
                                  " levels; the deeper bookmarks are left out");
  conversion.hasOutline = report.hasOutline;
  return conversion;
}

Conversion ConvertFile(const std::string& inputPath, const OutlineOptions& options,
                       platform::Sync sync) {
  const std::string outputPath = DeriveOutputPath(inputPath);
  if (outputPath == inputPath || platform::IsSameFile(inputPath, outputPath)) {
    Conversion refused;
    refused.status = Status::IoError("cannot convert '" + inputPath +
                                   "': the bookmark file would replace the input file");
    return refused;
  }
  BookmarkList list;
  Conversion conversion = ReadBookmarks(inputPath, options, &list);
  if (conversion.status.ok())
    conversion.status = list.SaveToFile(outputPath, sync).WithContext("cannot write '" +
                                                                      outputPath + "'");
  return conversion;
}

}  // namespace vellox
