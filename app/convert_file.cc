#include "app/convert_file.h"

#include "app/output_path.h"
#include "app/user_messages.h"
#include "platform/paths.h"

namespace vellox {

Conversion ReadBookmarks(const std::string& inputPath, const OutlineOptions& options,
                         BookmarkList* list) {
  Conversion conversion;
  Status read = ReadOutline(inputPath, list, options, &conversion.outline);
  if (!read.ok()) conversion.status = CannotRead(inputPath, read);
  return conversion;
}

Conversion ConvertFile(const std::string& inputPath, const OutlineOptions& options,
                       platform::Sync sync) {
  const std::string outputPath = DeriveOutputPath(inputPath);
  if (outputPath == inputPath || platform::IsSameFile(inputPath, outputPath)) {
    Conversion refused;
    refused.status = WouldReplaceInput(inputPath);
    return refused;
  }
  BookmarkList list;
  Conversion conversion = ReadBookmarks(inputPath, options, &list);
  if (conversion.status.ok())
    conversion.status = CannotWrite(outputPath, list.SaveToFile(outputPath, sync));
  return conversion;
}

}  // namespace vellox
