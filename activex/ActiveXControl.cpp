#include "activex/ActiveXControl.h"

#include <olectl.h>

#include "activex/ComModule.h"

namespace pel::com {

namespace {

// The control's default size, 26 x 26 pixels at 96 dpi, in HIMETRIC.
constexpr LONG kDefaultExtent = 26 * 2540 / 96;

void drawFace(HDC dc, RECT r) {
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
}

}  // namespace

TActiveXControl::TActiveXControl(const ClassIds& ids)
    : ids_(ids),
      point_(this, ids.events, [this](IDispatch* sink) { AttachEventSink(sink); }),
      extent_{kDefaultExtent, kDefaultExtent} {
  Module::AddObject();
}

TActiveXControl::~TActiveXControl() { Module::ReleaseObject(); }

void TActiveXControl::Initialize() {
  window_ = CreateControlWindow();
  WireDeviceControl();
}

HRESULT TActiveXControl::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (riid == IID_IUnknown || riid == IID_IOleObject)
    *out = static_cast<IOleObject*>(this);
  else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject)
    *out = static_cast<IOleInPlaceObject*>(this);
  else if (riid == IID_IOleInPlaceActiveObject)
    *out = static_cast<IOleInPlaceActiveObject*>(this);
  else if (riid == IID_IOleControl)
    *out = static_cast<IOleControl*>(this);
  else if (riid == IID_IViewObject || riid == IID_IViewObject2)
    *out = static_cast<IViewObject2*>(this);
  else if (riid == IID_IPersist || riid == IID_IPersistStreamInit)
    *out = static_cast<IPersistStreamInit*>(this);
  else if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2)
    *out = static_cast<IProvideClassInfo2*>(this);
  else if (riid == IID_IConnectionPointContainer)
    *out = static_cast<IConnectionPointContainer*>(this);
  else if (riid == IID_ISupportErrorInfo)
    *out = static_cast<ISupportErrorInfo*>(this);
  else
    *out = QueryOwnInterface(riid);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG TActiveXControl::AddRef() { return ++refs_; }

ULONG TActiveXControl::Release() {
  const ULONG n = --refs_;
  if (n == 0) delete this;
  return n;
}

// ---- IOleObject ----

HRESULT TActiveXControl::SetClientSite(IOleClientSite* site) {
  site_ = ComPtr<IOleClientSite>::share(site);
  return S_OK;
}

HRESULT TActiveXControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_.get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

HRESULT TActiveXControl::Close(DWORD) {
  InPlaceDeactivate();
  if (adviseHolder_) adviseHolder_->SendOnClose();
  // The container's sink would keep the container alive through us.
  point_.Disconnect();
  return S_OK;
}

HRESULT TActiveXControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) {
  if (site && !site_) site_ = ComPtr<IOleClientSite>::share(site);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_PROPERTIES:
      return ShowProperties();
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
      return InPlaceActivate(false);
    case OLEIVERB_UIACTIVATE:
      return InPlaceActivate(true);
    case OLEIVERB_HIDE:
      if (window_) ShowWindow(window_, SW_HIDE);
      return S_OK;
    default:
      return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT TActiveXControl::EnumVerbs(IEnumOLEVERB** out) { return OleRegEnumVerbs(ids_.clsid, out); }

HRESULT TActiveXControl::GetUserClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = ids_.clsid;
  return S_OK;
}

HRESULT TActiveXControl::GetUserType(DWORD form, LPOLESTR* type) { return OleRegGetUserType(ids_.clsid, form, type); }

HRESULT TActiveXControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  extent_ = *size;
  dirty_ = true;
  return S_OK;
}

HRESULT TActiveXControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

HRESULT TActiveXControl::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!adviseHolder_) {
    const HRESULT hr = CreateOleAdviseHolder(adviseHolder_.put());
    if (FAILED(hr)) return hr;
  }
  return adviseHolder_->Advise(sink, cookie);
}

HRESULT TActiveXControl::Unadvise(DWORD cookie) {
  return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT TActiveXControl::EnumAdvise(IEnumSTATDATA** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(out) : S_OK;
}

HRESULT TActiveXControl::GetMiscStatus(DWORD aspect, DWORD* status) {
  if (!status) return E_POINTER;
  *status = aspect == DVASPECT_CONTENT ? ids_.miscStatus : 0;
  return S_OK;
}

// ---- in-place activation ----

HRESULT TActiveXControl::InPlaceActivate(bool uiActivate) {
  if (!window_) return E_UNEXPECTED;
  if (!inPlaceActive_) {
    if (!site_) return E_UNEXPECTED;
    ComPtr<IOleInPlaceSite> ips;
    if (FAILED(site_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(ips.put()))) || !ips)
      return E_NOINTERFACE;
    if (ips->CanInPlaceActivate() != S_OK) return E_FAIL;
    HRESULT hr = ips->OnInPlaceActivate();
    if (FAILED(hr)) return hr;
    HWND parent = nullptr;
    if (FAILED(ips->GetWindow(&parent)) || !parent) {
      ips->OnInPlaceDeactivate();
      return E_FAIL;
    }
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO info{};
    info.cb = sizeof info;
    ips->GetWindowContext(frame_.put(), uiWindow_.put(), &pos, &clip, &info);
    LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD | WS_CLIPSIBLINGS;
    SetWindowLongPtrW(window_, GWL_STYLE, style);
    SetParent(window_, parent);
    SetWindowPos(window_, nullptr, pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ShowWindow(window_, SW_SHOWNA);
    inPlaceSite_ = ips;
    inPlaceActive_ = true;
  }
  if (uiActivate && !uiActive_) {
    inPlaceSite_->OnUIActivate();
    if (frame_) frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"PelmoraX");
    if (uiWindow_) uiWindow_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"PelmoraX");
    SetFocus(window_);
    uiActive_ = true;
  }
  return S_OK;
}

HRESULT TActiveXControl::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (uiWindow_) uiWindow_->SetActiveObject(nullptr, nullptr);
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT TActiveXControl::InPlaceDeactivate() {
  if (!inPlaceActive_) return S_OK;
  UIDeactivate();
  inPlaceActive_ = false;
  if (window_) {
    ShowWindow(window_, SW_HIDE);
    SetParent(window_, nullptr);
    LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP;
    SetWindowLongPtrW(window_, GWL_STYLE, style);
  }
  auto site = std::move(inPlaceSite_);
  frame_.reset();
  uiWindow_.reset();
  if (site) site->OnInPlaceDeactivate();
  return S_OK;
}

HRESULT TActiveXControl::GetWindow(HWND* hwnd) {
  if (!hwnd) return E_POINTER;
  *hwnd = window_;
  return window_ ? S_OK : E_FAIL;
}

HRESULT TActiveXControl::SetObjectRects(LPCRECT pos, LPCRECT) {
  if (!pos) return E_POINTER;
  if (window_)
    SetWindowPos(window_, nullptr, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  return S_OK;
}

HRESULT TActiveXControl::ShowProperties() {
  std::vector<CLSID> pages;
  try {
    DefinePropertyPages(pages);
  } catch (...) {
    return E_UNEXPECTED;
  }
  if (pages.empty()) return S_OK;  // no page to show
  IUnknown* self = static_cast<IOleObject*>(this);
  HWND owner = nullptr;
  if (inPlaceSite_) inPlaceSite_->GetWindow(&owner);
  return OleCreatePropertyFrame(owner, 0, 0, L"PelmoraX", 1, &self, static_cast<ULONG>(pages.size()),
                                pages.data(), LOCALE_USER_DEFAULT, 0, nullptr);
}

// ---- IOleControl ----

HRESULT TActiveXControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

// ---- IViewObject2 ----

HRESULT TActiveXControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                              BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc) return E_INVALIDARG;
  RECT r{};
  if (bounds)
    r = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  else if (window_)
    GetClientRect(window_, &r);
  else
    return E_INVALIDARG;
  drawFace(dc, r);
  return S_OK;
}

HRESULT TActiveXControl::SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* sink) {
  viewAspects_ = aspects;
  viewAdvf_ = advf;
  viewSink_ = ComPtr<IAdviseSink>::share(sink);
  return S_OK;
}

HRESULT TActiveXControl::GetAdvise(DWORD* aspects, DWORD* advf, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (advf) *advf = viewAdvf_;
  if (sink) {
    *sink = viewSink_.get();
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

HRESULT TActiveXControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

// ---- IPersistStreamInit ----

HRESULT TActiveXControl::GetClassID(CLSID* clsid) { return GetUserClassID(clsid); }

HRESULT TActiveXControl::Load(LPSTREAM stream) {
  if (!stream) return E_POINTER;
  LONG v[2] = {};
  ULONG got = 0;
  const HRESULT hr = stream->Read(v, sizeof v, &got);
  if (FAILED(hr)) return hr;
  if (got != sizeof v || v[0] < 0 || v[1] < 0) return STG_E_READFAULT;
  extent_ = {v[0], v[1]};
  dirty_ = false;
  return S_OK;
}

HRESULT TActiveXControl::Save(LPSTREAM stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  const LONG v[2] = {extent_.cx, extent_.cy};
  ULONG put = 0;
  const HRESULT hr = stream->Write(v, sizeof v, &put);
  if (FAILED(hr)) return hr;
  if (put != sizeof v) return STG_E_WRITEFAULT;
  if (clearDirty) dirty_ = false;
  return S_OK;
}

HRESULT TActiveXControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 2 * sizeof(LONG);
  return S_OK;
}

// ---- class information, connection points, error information ----

HRESULT TActiveXControl::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return Guarded(ids_.dual, [&] { *info = Module::TypeInfo(ids_.clsid); });
}

HRESULT TActiveXControl::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = ids_.events;
  return S_OK;
}

HRESULT TActiveXControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
  return EnumOneConnectionPoint(&point_, out);
}

HRESULT TActiveXControl::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (riid != ids_.events) return CONNECT_E_NOCONNECTION;
  *out = &point_;
  point_.AddRef();
  return S_OK;
}

HRESULT TActiveXControl::InterfaceSupportsErrorInfo(REFIID riid) { return riid == ids_.dual ? S_OK : S_FALSE; }

// ---- IDispatch helpers ----

ITypeInfo* TActiveXControl::DualTypeInfo() {
  if (!dualInfo_) dualInfo_ = ComPtr<ITypeInfo>::attach(Module::TypeInfo(ids_.dual));
  return dualInfo_.get();
}

HRESULT TActiveXControl::DispatchTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return Guarded(ids_.dual, [&] {
    *info = DualTypeInfo();
    (*info)->AddRef();
  });
}

HRESULT TActiveXControl::DispatchIdsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
  HRESULT hr = S_OK;
  const HRESULT guard = Guarded(ids_.dual, [&] { hr = DualTypeInfo()->GetIDsOfNames(names, count, ids); });
  return FAILED(guard) ? guard : hr;
}

HRESULT TActiveXControl::DispatchInvoke(IDispatch* self, DISPID id, WORD flags, DISPPARAMS* params,
                                        VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  HRESULT hr = S_OK;
  const HRESULT guard =
      Guarded(ids_.dual, [&] { hr = DualTypeInfo()->Invoke(self, id, flags, params, result, excep, argErr); });
  return FAILED(guard) ? guard : hr;
}

}  // namespace pel::com
