#include "app/convert_file.h"

#include "app/output_path.h"
#include "app/user_messages.h"
#include "platform/paths.h"
#include "reading/read_with_chosen_reader.h"

namespace vellox {

Conversion ReadBookmarks(const std::string& inputPath, const OutlineOptions& options,
                         BookmarkList* list) {
  Conversion conversion;
  StatusOr<OutlineTree> tree = ReadWithChosenReader(inputPath, options);
  if (!tree.ok()) {
    conversion.status = CannotRead(inputPath, tree.status());
  } else {
    conversion.outline = AppendBookmarks(*tree, options, list);
  }
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
