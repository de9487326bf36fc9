#pragma once
// What the COM client tests of PelmoraX share: the apartment, the library
// registered from the test's own folder, an event sink that records what
// arrives, and a bounded wait that keeps the thread's messages flowing.
#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>

#include <functional>
#include <string>
#include <vector>

#include "activex/PelmoraX_h.h"

namespace pel::test {

// Folder of the running test program, ending in "\".
std::wstring ProgramFolder();

// CoInitialize / CoUninitialize on the calling thread (apartment-threaded).
class Apartment {
 public:
  Apartment();
  ~Apartment();
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
};

// PelmoraX.dll beside the test program, loaded; Call runs an entry point.
class Library {
 public:
  Library();
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  HRESULT Call(const char* entry) const;
  bool Loaded() const { return module_ != nullptr; }
  static std::wstring Path() { return ProgramFolder() + L"PelmoraX.dll"; }

 private:
  HMODULE module_ = nullptr;
};

// The string's text; the string is freed.
std::wstring TakeText(BSTR b);

// Pumps the thread's messages until done() holds or timeoutMs passed.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// An event sink living on the test's stack (its reference count does not
// free it). It answers for IPelmoraXEvents only when offerEvents is set.
class EventSink final : public IDispatch {
 public:
  struct Event {
    DISPID id;
    std::wstring text;  // DataReceived
    long number = 0;    // PelmoraError
  };
  explicit EventSink(bool offerEvents = true, HRESULT answer = S_OK) : offer_(offerEvents), answer_(answer) {}
  std::vector<Event> events;
  // Runs after an event was recorded, inside the control's call.
  std::function<void(DISPID)> after;
  int Count(DISPID id) const;
  ULONG refs = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override;

 private:
  bool offer_;
  HRESULT answer_;
};

// Connects sink to the control's connection point; the result of Advise.
HRESULT Connect(IUnknown* control, IUnknown* sink, DWORD* cookie, IConnectionPoint** point);

}  // namespace pel::test
