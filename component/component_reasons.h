#ifndef VELLOX_OUTLINE_COMPONENT_REASONS_H_
#define VELLOX_OUTLINE_COMPONENT_REASONS_H_

#include <string>

#include "platform/com.h"

namespace vellox {

// A status of the PDF document component in words, for when it leaves no
// description of its own; the message puts "cannot read 'FILE': " before.
std::string DescribeComponentStatus(HRESULT status);

// Why the registered component could not be created (`status` is what its
// creation returned), in words: not registered, its DLL missing or of the
// other bitness, or what the system says.
std::string DescribeUnavailableComponent(HRESULT status);

}  // namespace vellox

#endif  // VELLOX_OUTLINE_COMPONENT_REASONS_H_
