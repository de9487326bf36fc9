#include "tests/activex/ComClient.h"

namespace pel::test {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p = path;
  return p.substr(0, p.find_last_of(L"\\/") + 1);
}

Apartment::Apartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
Apartment::~Apartment() { CoUninitialize(); }

Library::Library() { module_ = LoadLibraryW(Path().c_str()); }
Library::~Library() {
  if (module_) FreeLibrary(module_);
}

HRESULT Library::Call(const char* entry) const {
  using Fn = HRESULT(STDAPICALLTYPE*)();
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, entry)));
  return fn ? fn() : E_NOINTERFACE;
}

std::wstring TakeText(BSTR b) {
  std::wstring s = b ? std::wstring(b, SysStringLen(b)) : L"";
  SysFreeString(b);
  return s;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now < 20 ? end - now : 20), QS_ALLINPUT);
  }
}

int EventSink::Count(DISPID id) const {
  int n = 0;
  for (const auto& e : events) n += e.id == id;
  return n;
}

HRESULT EventSink::QueryInterface(REFIID riid, void** out) {
  if (riid == IID_IUnknown || riid == IID_IDispatch || (offer_ && riid == DIID_IPelmoraXEvents)) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  Event e{id, {}, 0};
  if (!(flags & DISPATCH_METHOD)) e.id = -1;  // flags the wrong call kind
  if (params && params->cArgs == 1) {
    const VARIANT& v = params->rgvarg[0];
    if (V_VT(&v) == VT_BSTR) e.text.assign(V_BSTR(&v), SysStringLen(V_BSTR(&v)));
    if (V_VT(&v) == VT_I4) e.number = V_I4(&v);
  } else if (params && params->cArgs > 1) {
    e.id = -2;  // no event has two arguments
  }
  events.push_back(e);
  if (after) {
    const auto f = after;  // it may replace itself
    f(id);
  }
  return answer_;
}

HRESULT Connect(IUnknown* control, IUnknown* sink, DWORD* cookie, IConnectionPoint** point) {
  IConnectionPointContainer* cpc = nullptr;
  HRESULT hr = control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc));
  if (FAILED(hr)) return hr;
  hr = cpc->FindConnectionPoint(DIID_IPelmoraXEvents, point);
  cpc->Release();
  if (FAILED(hr)) return hr;
  return (*point)->Advise(sink, cookie);
}

}  // namespace pel::test
