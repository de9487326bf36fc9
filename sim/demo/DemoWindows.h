#pragma once
// What the demo driver does to a program's windows, as a user would: the
// shared window driver, and a picture of a window.
#include <windows.h>

#include <string>

#include "tests/support/WindowDriver.h"

namespace pel::demo {

using windriver::Click;
using windriver::ClickFirstListRow;
using windriver::ClipboardText;
using windriver::FindButton;
using windriver::FindControl;
using windriver::FindTopWindow;
using windriver::Process;
using windriver::WaitFor;
using windriver::WindowText;

// The window's client area as the screen shows it (repainted first), as PNG.
bool Screenshot(HWND w, const std::string& path);

}  // namespace pel::demo
