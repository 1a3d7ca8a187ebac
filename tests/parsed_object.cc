#include "parsed_object.h"

#include "builtin_reader/lexer.h"
#include "builtin_reader/object_parser.h"

namespace vellox {
namespace testing {

pdf::Object ParsedObject(const std::string& text) {
  pdf::Lexer lexer(text.data(), text.data() + text.size());
  return pdf::ObjectParser(&lexer).ParseObject();
}

}  // namespace testing
}  // namespace vellox
