#pragma once
// The control's identifiers (from the type library's IDL) and the constants
// its registration and factory share.
#include <windows.h>

// The device link has an enumeration of this name of its own; the type
// library's one is ComHighSpeedRunMode here.
#define TxHighSpeedRunMode ComHighSpeedRunMode
#include "activex/PelmoraX_h.h"  // generated from PelmoraX.idl
#undef TxHighSpeedRunMode

namespace pel::com {

constexpr WORD kTypeLibMajor = 1;
constexpr WORD kTypeLibMinor = 3;
constexpr LCID kTypeLibLocale = 0x409;
// Recompose on resize, cannot link inside, inside-out, activate when
// visible, set client site first.
constexpr unsigned kControlMiscStatus = 0x20191;
constexpr int kToolboxBitmap = 1;

}  // namespace pel::com
