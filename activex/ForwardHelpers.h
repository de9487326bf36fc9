#pragma once
// The one pattern of every IPelmoraX member: convert the arguments, call the
// device link, store the converted result, all under the exception guard.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <type_traits>

#include "activex/ComSupport.h"
#include "activex/PelmoraXIds.h"
#include "devicelink/Pelmora.h"

namespace pel::com::fwd {

inline LONG ToCom(int v) { return v; }
inline double ToCom(double v) { return v; }
inline VARIANT_BOOL ToCom(bool v) { return ToBool(v); }
inline BSTR ToCom(const std::string& v) { return ToBstr(v); }
inline TxPWMOption ToCom(PWMOption v) { return static_cast<TxPWMOption>(v); }
inline TxSensorRangeType ToCom(SensorRangeType v) { return static_cast<TxSensorRangeType>(v); }
inline TxCHInput ToCom(CHInput v) { return static_cast<TxCHInput>(v); }

template <class F>
HRESULT Call(F&& body) {
  return Guarded(IID_IPelmoraX, std::forward<F>(body));
}

// Enumerations pass to the device link as numbers, members or not: the link
// decides and reports through its error numbers. Its twins hold a byte, so
// a number beyond one could only arrive as another member, and is refused.
template <class E>
E LinkEnum(long v, const char* what) {
  if (v < 0 || v > 0xFF) throw ComError(E_INVALIDARG, std::string(what) + " is beyond the device link's reach");
  return static_cast<E>(v);
}

// A member with a result: *out gets the converted value of read(); a text
// result stays empty when the member fails.
template <class Out, class F>
HRESULT Get(Out* out, F&& read) {
  if (!out) return E_POINTER;
  if constexpr (std::is_same_v<Out, BSTR>) *out = nullptr;
  return Call([&] { *out = ToCom(read()); });
}

}  // namespace pel::com::fwd
