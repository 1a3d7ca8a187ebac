#ifndef VELLOX_COMPONENT_COMPONENT_REASONS_H_
#define VELLOX_COMPONENT_COMPONENT_REASONS_H_

#include <string>

#include "base/status.h"
#include "platform/com.h"

namespace vellox {

// A status of the PDF document component in words, for when it leaves no
// description of its own; the message puts "cannot read 'FILE': " before.
std::string DescribeComponentStatus(HRESULT status);

// Why the registered component could not be created (`status` is what its
// creation returned), in words: not registered, its DLL missing or of the
// other bitness, or what the system says.
std::string DescribeUnavailableComponent(HRESULT status);

// The code a failing HRESULT stands for: "no component" and "no outline"
// kUnavailable, anything else (a system failure, the component's own code)
// kIoError.
StatusCode CodeOfComponentResult(HRESULT result);

// The component's failure as a Status: in the words the component left for
// this thread where it left some (taking them), else in the words for its
// status code.
Status ComponentFailure(HRESULT status);

}  // namespace vellox

#endif  // VELLOX_COMPONENT_COMPONENT_REASONS_H_
