#include "component/component_reasons.h"

#include <cstdio>

#include "component/pdf_component.h"

namespace vellox {
namespace {

const char kComponent[] = "the PDF document component";

// A build of one bitness, and the other.
constexpr int kBitness = sizeof(void*) == 8 ? 64 : 32;
constexpr int kOtherBitness = kBitness == 64 ? 32 : 64;

std::string Bitness(int bits) { return std::to_string(bits) + "-bit"; }

std::string Hexadecimal(HRESULT status) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
  return code;
}

// The system's words for `status`, or the code itself.
std::string StatusText(HRESULT status) {
  const std::string text = platform::SystemStatusText(status);
  return text.empty() ? Hexadecimal(status) : text;
}

}  // namespace

std::string DescribeComponentStatus(HRESULT status) {
  if (status == REGDB_E_CLASSNOTREG) return std::string(kComponent) + " is not available";
  // The walker's own two codes.
  if (status == E_OUTOFMEMORY) return "out of memory";
  if (status == E_NOINTERFACE) return std::string(kComponent) + " offers no outline";
  // The component's own codes mean what it means by them; the system's
  // text for the same number would be another component's.
  if (HRESULT_FACILITY(status) != FACILITY_ITF) {
    const std::string text = platform::SystemStatusText(status);
    if (!text.empty()) return text;
  }
  return std::string(kComponent) + " failed (" + Hexadecimal(status) + ")";
}

std::string DescribeUnavailableComponent(HRESULT status) {
  const std::string unavailable = std::string(kComponent) + " is not available: ";
  const std::string program = "this vellox is " + Bitness(kBitness);
  std::string server;
  switch (platform::CheckComponentRegistration(CLSID_PdfDocumentComponent, &server)) {
    case platform::ComponentRegistration::kNotRegistered:
      return unavailable + "its class is not registered";
    case platform::ComponentRegistration::kOtherBitnessOnly:
      return unavailable + "it is registered for " + Bitness(kOtherBitness) +
             " programs only, and " + program;
    case platform::ComponentRegistration::kServerMissing:
      if (server.empty()) return unavailable + "its registration names no DLL";
      return unavailable + "its DLL '" + server + "' is missing";
    case platform::ComponentRegistration::kServerOtherBitness:
      return unavailable + "its DLL '" + server + "' is " + Bitness(kOtherBitness) + ", and " +
             program;
    case platform::ComponentRegistration::kServerPresent:
      break;
  }
  // Registered, and its DLL there: what the component library says.
  if (server.empty()) return unavailable + StatusText(status);
  return unavailable + "'" + server + "' does not create it (" + StatusText(status) + ")";
}

StatusCode CodeOfComponentResult(HRESULT result) {
  if (result == REGDB_E_CLASSNOTREG || result == E_NOINTERFACE) return StatusCode::kUnavailable;
  return StatusCode::kIoError;
}

Status ComponentFailure(HRESULT status) {
  std::string reason = platform::TakeComponentErrorText();
  if (reason.empty()) reason = DescribeComponentStatus(status);
  return Status(CodeOfComponentResult(status), reason);
}

}  // namespace vellox
