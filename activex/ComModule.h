#pragma once
// What the library knows about itself: its module handle and file name, the
// count of live objects and server locks that DllCanUnloadNow reads, and its
// own type library.
#include <windows.h>
#include <oaidl.h>

#include <string>

namespace pel::com {

struct Module {
  static void SetInstance(HINSTANCE h);
  static HINSTANCE Instance();
  // The library's full file name.
  static std::wstring FileName();

  static void AddObject();
  static void ReleaseObject();
  static void Lock(bool lock);
  static bool CanUnload();
  // Once the device link has run in this process the library stays loaded:
  // its per-process state and worker threads outlive the controls.
  static void PinLoaded();

  // The type library of this module (resource 1); a new reference. Throws
  // pel::com::ComError when it cannot be loaded.
  static ITypeLib* TypeLib();
  // Type information for guid in the library; a new reference. Throws as TypeLib.
  static ITypeInfo* TypeInfo(REFGUID guid);
};

}  // namespace pel::com
