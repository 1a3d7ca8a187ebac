#ifndef VELLOX_APP_OUTPUT_COLLISIONS_H_
#define VELLOX_APP_OUTPUT_COLLISIONS_H_

#include <string>
#include <vector>

namespace vellox {

// For each of `pdfs`, the first PDF before it whose bookmark file has the
// same path, ASCII letters compared without case (as the e-reader's file
// system compares them); empty when there is none.
std::vector<std::string> FindOutputCollisions(const std::vector<std::string>& pdfs);

}  // namespace vellox

#endif  // VELLOX_APP_OUTPUT_COLLISIONS_H_
