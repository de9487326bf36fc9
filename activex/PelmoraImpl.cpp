// TPelmoraX: creation of the hosted device link, IDispatch and the event
// forwarding to the container's sink.
#include "activex/PelmoraImpl.h"

#include <stdexcept>

#include "activex/ComModule.h"
#include "devicelink/Pelmora.h"
#include "platform/HandOver.h"

namespace pel::com {

// The device link's handlers hold this, not the control: a handler that runs
// after the control went finds no owner and does nothing. Main thread only.
struct TPelmoraX::SinkLink {
  TPelmoraX* owner = nullptr;
};

namespace {
const TActiveXControl::ClassIds kIds{CLSID_PelmoraX, IID_IPelmoraX, DIID_IPelmoraXEvents, kControlMiscStatus};
}  // namespace

TActiveXControl* TPelmoraX::Make() { return new TPelmoraX(); }

TPelmoraX::TPelmoraX() : TActiveXControl(kIds), events_(std::make_shared<SinkLink>()) { events_->owner = this; }

TPelmoraX::~TPelmoraX() {
  events_->owner = nullptr;
  sink_.reset();
  // The device link ends with its window; inside one of its own waits it
  // ends once that wait has unwound.
  link_.reset();
}

void* TPelmoraX::QueryOwnInterface(REFIID riid) {
  if (riid == IID_IDispatch || riid == IID_IPelmoraX) return static_cast<IPelmoraX*>(this);
  return nullptr;
}

HWND TPelmoraX::CreateControlWindow() {
  // The device link's state and threads outlive this control.
  Module::PinLoaded();
  link_ = TPelmora::Create(nullptr, LinkFlavour::ActiveX(), TPelmora::DefaultEnvironment());
  return link_->Handle();
}

void TPelmoraX::WireDeviceControl() {
  std::weak_ptr<SinkLink> weak = events_;
  auto forward = [weak](DISPID id, VARIANT* arg) {
    // Raised on another thread (the USB polling thread): delivered on the
    // control's thread while the raiser waits, so the sink is always called
    // in its own apartment.
    pel::HandOver::instance().synchronize([&] {
      auto link = weak.lock();
      if (link && link->owner) link->owner->Forward(id, arg);
    });
  };
  link_->DataReceived([forward](TPelmora&, const std::wstring& data) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocStringLen(data.data(), static_cast<UINT>(data.size()));
    if (!V_BSTR(&v)) return;  // out of memory: the record cannot be passed
    forward(201, &v);
    VariantClear(&v);
  });
  link_->PelmoraError([forward](TPelmora&, int n) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = n;
    forward(202, &v);
  });
  link_->StartExperiment([forward](TPelmora&) { forward(203, nullptr); });
  link_->StopExperiment([forward](TPelmora&) { forward(204, nullptr); });
}

void TPelmoraX::AttachEventSink(IDispatch* sink) { sink_ = ComPtr<IDispatch>::share(sink); }

void TPelmoraX::DefinePropertyPages(std::vector<CLSID>&) {}

void TPelmoraX::Forward(DISPID id, VARIANT* arg) {
  if (!sink_) return;
  // The sink may let the control go; it, the link and the sink stay until
  // the call returns.
  auto self = ComPtr<IPelmoraX>::share(this);
  auto link = link_;
  auto sink = sink_;
  DISPPARAMS params{arg, nullptr, arg ? 1u : 0u, 0};
  // What the sink answers does not matter: the event counts as delivered.
  sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

TPelmoraX::Held TPelmoraX::D() {
  if (!link_) throw std::logic_error("the PelmoraX control has no device link");
  return {ComPtr<IPelmoraX>::share(this), link_};
}

HRESULT TPelmoraX::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT TPelmoraX::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
  return DispatchTypeInfo(index, lcid, info);
}

HRESULT TPelmoraX::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return DispatchIdsOfNames(names, count, ids);
}

HRESULT TPelmoraX::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO* excep, UINT* argErr) {
  return DispatchInvoke(static_cast<IPelmoraX*>(this), id, flags, params, result, excep, argErr);
}

}  // namespace pel::com
