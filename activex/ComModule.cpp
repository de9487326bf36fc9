#include "activex/ComModule.h"

#include <atomic>
#include <mutex>

#include "activex/ComSupport.h"

namespace pel::com {

namespace {
HINSTANCE g_instance = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
std::atomic<bool> g_pinned{false};
std::mutex g_typeLibLock;  // guards g_typeLib (loaded once, kept for the process)
ITypeLib* g_typeLib = nullptr;
}  // namespace

void Module::SetInstance(HINSTANCE h) { g_instance = h; }
HINSTANCE Module::Instance() { return g_instance; }

std::wstring Module::FileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(g_instance, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) throw ComError(HRESULT_FROM_WIN32(GetLastError()), "cannot read the library's file name");
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void Module::AddObject() { ++g_objects; }
void Module::ReleaseObject() { --g_objects; }
void Module::Lock(bool lock) { lock ? ++g_locks : --g_locks; }
bool Module::CanUnload() { return !g_pinned && g_objects == 0 && g_locks == 0; }

void Module::PinLoaded() {
  if (g_pinned.exchange(true)) return;
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&Module::PinLoaded), &self);
}

ITypeLib* Module::TypeLib() {
  std::lock_guard lock(g_typeLibLock);
  if (!g_typeLib) {
    const std::wstring path = FileName();
    const HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &g_typeLib);
    if (FAILED(hr)) {
      g_typeLib = nullptr;
      throw ComError(hr, "cannot load the type library of PelmoraX");
    }
  }
  g_typeLib->AddRef();
  return g_typeLib;
}

ITypeInfo* Module::TypeInfo(REFGUID guid) {
  auto lib = ComPtr<ITypeLib>::attach(TypeLib());
  ITypeInfo* info = nullptr;
  const HRESULT hr = lib->GetTypeInfoOfGuid(guid, &info);
  if (FAILED(hr)) throw ComError(hr, "the type library lacks a described type");
  return info;
}

}  // namespace pel::com
