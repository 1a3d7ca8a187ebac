#ifndef VELLOX_OUTLINE_OUTLINE_OPTIONS_H_
#define VELLOX_OUTLINE_OUTLINE_OPTIONS_H_

#include <cstdint>

namespace vellox {

// Levels below this depth never become bookmarks, whatever the limit says:
// an outline nested this deep is broken or hostile (and the component's
// walker recurses).
constexpr std::int32_t kMaxOutlineDepth = 512;

// What a conversion takes from the outline (-ML, -PL).
struct OutlineOptions {
  // Deepest level kept: -1 no limit; any other negative value admits no
  // node.
  std::int32_t depthLimit = -1;
  // Each bookmark gets the printed label of its page, where the reader
  // knows one.
  bool printedLabels = false;

  // Whether nodes at `depth` (0: the top level) are kept.
  bool Admits(std::int32_t depth) const { return depthLimit == -1 || depth <= depthLimit; }
};

}  // namespace vellox

#endif  // VELLOX_OUTLINE_OUTLINE_OPTIONS_H_
