#include "activex/ControlFactory.h"

#include "activex/ComModule.h"
#include "activex/ComSupport.h"

namespace pel::com {

HRESULT ControlFactory::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IClassFactory) {
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ControlFactory::ControlFactory(Maker make) : make_(make) { Module::AddObject(); }
ControlFactory::~ControlFactory() { Module::ReleaseObject(); }

ULONG ControlFactory::AddRef() { return ++refs_; }

ULONG ControlFactory::Release() {
  const ULONG n = --refs_;
  if (n == 0) delete this;
  return n;
}

HRESULT ControlFactory::CreateInstance(IUnknown* outer, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  TActiveXControl* control = nullptr;
  const HRESULT made = Guarded(IID_IClassFactory, [&] {
    control = make_();
    try {
      control->Initialize();
    } catch (...) {
      control->Release();
      control = nullptr;
      throw;
    }
  });
  if (FAILED(made)) return made;
  const HRESULT hr = control->QueryInterface(riid, out);
  control->Release();
  return hr;
}

HRESULT ControlFactory::LockServer(BOOL lock) {
  Module::Lock(lock != FALSE);
  return S_OK;
}

}  // namespace pel::com
