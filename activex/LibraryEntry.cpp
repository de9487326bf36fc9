// The library's entry points: DllMain and the four by which COM hosts create
// and register the control.
#include <windows.h>
#include <olectl.h>

#include <new>

#include "activex/ComModule.h"
#include "activex/ComSupport.h"
#include "activex/ControlFactory.h"
#include "activex/PelmoraImpl.h"
#include "activex/Registration.h"

using namespace pel::com;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    Module::SetInstance(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_PelmoraX) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) ControlFactory(&TPelmoraX::Make);
  if (!factory) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(riid, out);
  factory->Release();
  return hr;
}

STDAPI DllCanUnloadNow() { return Module::CanUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  try {
    RegisterControlServer();
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

STDAPI DllUnregisterServer() {
  try {
    UnregisterControlServer();
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}
