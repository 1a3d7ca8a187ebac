#ifndef VELLOX_OUTLINE_COMPONENT_STATUS_H_
#define VELLOX_OUTLINE_COMPONENT_STATUS_H_

#include "base/status.h"
#include "platform/com.h"

namespace vellox {

// A failure's code as it crosses the component boundary: our PDF document
// component returns one HRESULT of the interface-specific range per code
// (the reason travels as the component's error text), and the caller's
// side reads the code back from it.
struct ComponentCode {
  StatusCode code;
  HRESULT result;
};
constexpr ComponentCode kComponentCodes[] = {
    {StatusCode::kNotFound, static_cast<HRESULT>(0x80040201)},
    {StatusCode::kIoError, static_cast<HRESULT>(0x80040202)},
    {StatusCode::kInvalidData, static_cast<HRESULT>(0x80040203)},
    {StatusCode::kDamaged, static_cast<HRESULT>(0x80040204)},
    {StatusCode::kOverLimit, static_cast<HRESULT>(0x80040205)},
    {StatusCode::kUnavailable, static_cast<HRESULT>(0x80040206)},
};

// The HRESULT for a failure's code (E_FAIL for kOk, which is no failure).
inline HRESULT ComponentResult(StatusCode code) {
  for (const ComponentCode& entry : kComponentCodes)
    if (entry.code == code) return entry.result;
  return E_FAIL;
}

// The code a failing HRESULT stands for: ours back to their codes, the
// walker's own "no component" and "no outline" to kUnavailable, anything
// else (a system failure, a registered component's own code) to kIoError.
// Only the code is read from it; the words come with the error text.
inline StatusCode CodeOfComponentResult(HRESULT result) {
  for (const ComponentCode& entry : kComponentCodes)
    if (entry.result == result) return entry.code;
  if (result == REGDB_E_CLASSNOTREG || result == E_NOINTERFACE) return StatusCode::kUnavailable;
  return StatusCode::kIoError;
}

}  // namespace vellox

#endif  // VELLOX_OUTLINE_COMPONENT_STATUS_H_
