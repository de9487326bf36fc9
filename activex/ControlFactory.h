#pragma once
// The class factory of an ActiveX control class: creates one control per
// request (no aggregation) and keeps the server loaded while locked.
#include <windows.h>
#include <unknwn.h>

#include <atomic>

#include "activex/ActiveXControl.h"

namespace pel::com {

class ControlFactory final : public IClassFactory {
 public:
  // Makes a new control with one reference; may throw.
  using Maker = TActiveXControl* (*)();
  // A live factory keeps the server loaded.
  explicit ControlFactory(Maker make);
  ControlFactory(const ControlFactory&) = delete;
  ControlFactory& operator=(const ControlFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ~ControlFactory();
  std::atomic<ULONG> refs_{1};
  Maker make_;
};

}  // namespace pel::com
