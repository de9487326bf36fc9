// The control through its interfaces, without an interface box: value
// conversions, dispatch through the type library, failures with error
// information, the event connection, embedding in a container and the
// about box.
#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/activex/ComClient.h"

namespace {
using namespace pel::test;

class Control : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lib.Loaded());
    ASSERT_EQ(lib.Call("DllRegisterServer"), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_PelmoraX, nullptr, CLSCTX_INPROC_SERVER, IID_IPelmoraX,
                               reinterpret_cast<void**>(&px)),
              S_OK);
  }
  void TearDown() override {
    if (px) px->Release();
  }
  // IDispatch::Invoke by name, as a script host calls it.
  HRESULT invoke(const wchar_t* name, WORD flags, std::vector<VARIANT> args, VARIANT* result, EXCEPINFO* ex) {
    DISPID id = 0;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    const HRESULT hr = px->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::reverse(args.begin(), args.end());  // the last argument comes first
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS p{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    if (flags == DISPATCH_PROPERTYPUT) {
      p.rgdispidNamedArgs = &named;
      p.cNamedArgs = 1;
    }
    UINT argErr = 0;
    return px->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &p, result, ex, &argErr);
  }
  Apartment apartment;
  Library lib;
  EventSink sink;  // outlives the control
  IPelmoraX* px = nullptr;
};

VARIANT i4(LONG v) {
  VARIANT r;
  VariantInit(&r);
  V_VT(&r) = VT_I4;
  V_I4(&r) = v;
  return r;
}

TEST_F(Control, BooleansCrossAsMinusOneAndZero) {
  // Any non-zero 16 bits count as true; results are only -1 or 0.
  struct Case {
    VARIANT_BOOL in, out;
  };
  const Case cases[] = {{1, -1}, {-1, -1}, {0, 0}, {0x100, -1}, {2, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    VARIANT_BOOL v = 7;
    ASSERT_EQ(px->put_SetZeroMode(c.in), S_OK);
    ASSERT_EQ(px->get_ZeroSetMode(&v), S_OK);
    EXPECT_EQ(v, c.out);
    v = 7;
    ASSERT_EQ(px->get_SetZeroMode(&v), S_OK);
    EXPECT_EQ(v, c.out);
    ASSERT_EQ(px->put_ThreadType(c.in), S_OK);
    ASSERT_EQ(px->get_ThreadType(&v), S_OK);
    EXPECT_EQ(v, c.out);
    ASSERT_EQ(px->SetSensorSignInvert(2, c.in), S_OK);
    ASSERT_EQ(px->GetSensorSignInvert(2, &v), S_OK);
    EXPECT_EQ(v, c.out);
  }
  ASSERT_EQ(px->put_ThreadType(0), S_OK);
}

TEST_F(Control, FieldsAndAccessorsReadBackWhatWasWritten) {
  LONG n = 0;
  ASSERT_EQ(px->put_MaxRecordCount(1234), S_OK);
  ASSERT_EQ(px->get_MaxRecordCount(&n), S_OK);
  EXPECT_EQ(n, 1234);
  ASSERT_EQ(px->put_LoopCount(17), S_OK);
  ASSERT_EQ(px->get_LoopCount(&n), S_OK);
  EXPECT_EQ(n, 17);
  ASSERT_EQ(px->put_ErrorNumber(9), S_OK);
  ASSERT_EQ(px->get_ErrorNumber(&n), S_OK);
  EXPECT_EQ(n, 9);
  ASSERT_EQ(px->get_RunningMode(&n), S_OK);
  EXPECT_EQ(n, -1);  // never connected
  double t = 0;
  ASSERT_EQ(px->get_SamplingTime(&t), S_OK);
  EXPECT_DOUBLE_EQ(t, 0.2);
  BSTR s = nullptr;
  ASSERT_EQ(px->get_PelmoraType(&s), S_OK);
  EXPECT_STREQ(s, L"none");
  SysFreeString(s);
  // The sign of a channel outside 1 to 8 is ignored.
  VARIANT_BOOL b = 7;
  ASSERT_EQ(px->SetSensorSignInvert(9, -1), S_OK);
  ASSERT_EQ(px->GetSensorSignInvert(9, &b), S_OK);
  EXPECT_EQ(b, 0);
  // Null out parameters are refused, not written.
  EXPECT_EQ(px->get_LoopCount(nullptr), E_POINTER);
  EXPECT_EQ(px->GetDataList(nullptr), E_POINTER);
}

TEST_F(Control, DispatchThroughTheTypeLibrary) {
  VARIANT r;
  VariantInit(&r);
  ASSERT_EQ(invoke(L"MaxRecordCount", DISPATCH_PROPERTYPUT, {i4(321)}, nullptr, nullptr), S_OK);
  ASSERT_EQ(invoke(L"MaxRecordCount", DISPATCH_PROPERTYGET, {}, &r, nullptr), S_OK);
  EXPECT_EQ(V_VT(&r), VT_I4);
  EXPECT_EQ(V_I4(&r), 321);
  // A script passes 1 for true; it arrives as a boolean and reads back as -1.
  ASSERT_EQ(invoke(L"SetZeroMode", DISPATCH_PROPERTYPUT, {i4(1)}, nullptr, nullptr), S_OK);
  VariantClear(&r);
  ASSERT_EQ(invoke(L"ZeroSetMode", DISPATCH_PROPERTYGET, {}, &r, nullptr), S_OK);
  EXPECT_EQ(V_VT(&r), VT_BOOL);
  EXPECT_EQ(V_BOOL(&r), VARIANT_TRUE);
  // A method with a result: start with the link closed is error 6.
  VariantClear(&r);
  ASSERT_EQ(invoke(L"Pelmora", DISPATCH_METHOD, {i4(1)}, &r, nullptr), S_OK);
  EXPECT_EQ(V_I4(&r), 6);
  // The hidden framework members keep their standard DISPIDs.
  DISPID id = 0;
  LPOLESTR n = const_cast<LPOLESTR>(L"Enabled");
  ASSERT_EQ(px->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  EXPECT_EQ(id, DISPID_ENABLED);
  n = const_cast<LPOLESTR>(L"AboutBox");
  ASSERT_EQ(px->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  EXPECT_EQ(id, DISPID_ABOUTBOX);
  n = const_cast<LPOLESTR>(L"NoSuchMember");
  EXPECT_EQ(px->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
}

TEST_F(Control, EnumerationsPassAsNumbersToTheDeviceLink) {
  // A number that names no TxPWMOption reaches the device link, whose error
  // number (22: no interface connected) is the result.
  LONG result = 77;
  ASSERT_EQ(px->PWMOptionSetting(-1, static_cast<TxPWMOption>(9), 0, 500, 50, 50, 50, &result), S_OK);
  EXPECT_EQ(result, 22);
  LONG error = 0;
  ASSERT_EQ(px->get_ErrorNumber(&error), S_OK);
  EXPECT_EQ(error, 22);
  // Numbers beyond the device link's byte are refused, as arguments of no reach.
  for (LONG n : {-1L, 256L}) {
    result = 77;
    EXPECT_EQ(px->PWMOptionSetting(-1, static_cast<TxPWMOption>(n), 0, 500, 50, 50, 50, &result), E_INVALIDARG) << n;
    EXPECT_EQ(px->put_CHInputMode(static_cast<TxCHInput>(n)), E_INVALIDARG) << n;
  }
  TxCHInput mode = Scope;
  ASSERT_EQ(px->get_CHInputMode(&mode), S_OK);
  EXPECT_EQ(mode, Analog);
}

TEST_F(Control, FailuresCarryAStatusAndADescription) {
  // A number beyond the device link's reach: refused before it gets there.
  LONG result = 77;
  EXPECT_EQ(px->PWMOptionSetting(-1, static_cast<TxPWMOption>(300), 0, 500, 50, 50, 50, &result), E_INVALIDARG);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  ASSERT_NE(info, nullptr);
  BSTR d = nullptr;
  GUID g{};
  info->GetDescription(&d);
  info->GetGUID(&g);
  EXPECT_TRUE(d && wcsstr(d, L"pPWMOption")) << (d ? "" : "no description");
  EXPECT_EQ(g, IID_IPelmoraX);
  SysFreeString(d);
  info->Release();
  ISupportErrorInfo* sei = nullptr;
  ASSERT_EQ(px->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&sei)), S_OK);
  EXPECT_EQ(sei->InterfaceSupportsErrorInfo(IID_IPelmoraX), S_OK);
  sei->Release();
  // Through IDispatch the host gets the exception's text.
  EXCEPINFO ex{};
  VARIANT r;
  VariantInit(&r);
  EXPECT_EQ(invoke(L"PWMOptionSetting", DISPATCH_METHOD, {i4(-1), i4(300), i4(0), i4(500), i4(50), i4(50), i4(50)},
                   &r, &ex),
            DISP_E_EXCEPTION);
  EXPECT_EQ(ex.scode, E_INVALIDARG);
  EXPECT_TRUE(ex.bstrDescription && wcsstr(ex.bstrDescription, L"pPWMOption"));
  SysFreeString(ex.bstrDescription);
  SysFreeString(ex.bstrSource);
  SysFreeString(ex.bstrHelpFile);
}

TEST_F(Control, EventsReachOnlyAConnectedSinkOfTheEventInterface) {
  // No sink: the error event is dropped, the member still works.
  LONG r = 0;
  ASSERT_EQ(px->Pelmora(-1, &r), S_OK);
  EXPECT_EQ(r, 6);

  EventSink plain(false);
  DWORD cookie = 0;
  IConnectionPoint* cp = nullptr;
  EXPECT_EQ(Connect(px, &plain, &cookie, &cp), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(plain.refs, 0u);
  ASSERT_NE(cp, nullptr);
  IID iid{};
  ASSERT_EQ(cp->GetConnectionInterface(&iid), S_OK);
  EXPECT_EQ(iid, DIID_IPelmoraXEvents);

  // A sink that reports failure still counts as served.
  EventSink failing(true, E_FAIL);
  ASSERT_EQ(cp->Advise(&failing, &cookie), S_OK);
  DWORD second = 0;
  EXPECT_EQ(cp->Advise(&sink, &second), CONNECT_E_ADVISELIMIT);
  ASSERT_EQ(px->Pelmora(-1, &r), S_OK);
  ASSERT_EQ(px->CloseComm(&r), S_OK);
  ASSERT_EQ(failing.events.size(), 1u);
  EXPECT_EQ(failing.events[0].id, 202);
  EXPECT_EQ(failing.events[0].number, 6);
  IEnumConnections* en = nullptr;
  ASSERT_EQ(cp->EnumConnections(&en), S_OK);
  CONNECTDATA cd{};
  ULONG got = 0;
  ASSERT_EQ(en->Next(1, &cd, &got), S_OK);
  EXPECT_EQ(cd.dwCookie, cookie);
  cd.pUnk->Release();
  EXPECT_EQ(en->Next(1, &cd, &got), S_FALSE);
  en->Release();
  ASSERT_EQ(cp->Unadvise(cookie), S_OK);
  EXPECT_EQ(failing.refs, 0u);
  EXPECT_EQ(cp->Unadvise(cookie), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(px->Pelmora(-1, &r), S_OK);
  EXPECT_EQ(failing.events.size(), 1u);

  ASSERT_EQ(cp->Advise(&sink, &cookie), S_OK);
  ASSERT_EQ(px->Pelmora(0, &r), S_OK);
  ASSERT_EQ(sink.events.size(), 1u);
  EXPECT_EQ(sink.events[0].number, 6);
  cp->Release();
}

// A container window with just enough of a site for in-place activation.
class Site final : public IOleClientSite, public IOleInPlaceSite {
 public:
  explicit Site(HWND w) : window_(w) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) *out = static_cast<IOleInPlaceSite*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override {
    *c = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* w) override {
    *w = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
    ++activations;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** f, IOleInPlaceUIWindow** d, LPRECT pos,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO) override {
    *f = nullptr;
    *d = nullptr;
    *pos = {10, 20, 36, 46};
    *clip = {0, 0, 400, 300};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
    ++deactivations;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
  ULONG refs = 0;
  int activations = 0, deactivations = 0;

 private:
  HWND window_;
};

TEST_F(Control, EmbedsInAContainerWindow) {
  HWND container = CreateWindowExW(0, L"STATIC", L"container", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                   nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(container, nullptr);
  Site site(container);
  IOleObject* ole = nullptr;
  ASSERT_EQ(px->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)), S_OK);
  DWORD misc = 0;
  ASSERT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
  EXPECT_EQ(misc, 0x20191u);
  ASSERT_EQ(ole->SetClientSite(&site), S_OK);
  ASSERT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, container, nullptr), S_OK);
  EXPECT_EQ(site.activations, 1);
  IOleInPlaceObject* ip = nullptr;
  ASSERT_EQ(px->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&ip)), S_OK);
  HWND w = nullptr;
  ASSERT_EQ(ip->GetWindow(&w), S_OK);
  EXPECT_EQ(GetParent(w), container);
  EXPECT_TRUE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(IsWindowVisible(w));
  wchar_t cls[32] = {};
  GetClassNameW(w, cls, 32);
  EXPECT_STREQ(cls, L"TPelmora");
  // The framework properties read and drive the window itself.
  VARIANT_BOOL b = 0;
  ASSERT_EQ(px->get_Visible(&b), S_OK);
  EXPECT_EQ(b, VARIANT_TRUE);
  ASSERT_EQ(px->put_Visible(0), S_OK);
  EXPECT_FALSE(IsWindowVisible(w));
  ASSERT_EQ(px->get_Visible(&b), S_OK);
  EXPECT_EQ(b, 0);
  ASSERT_EQ(px->put_Enabled(0), S_OK);
  EXPECT_FALSE(IsWindowEnabled(w));
  ASSERT_EQ(px->get_Enabled(&b), S_OK);
  EXPECT_EQ(b, 0);
  ASSERT_EQ(px->put_Enabled(1), S_OK);
  EXPECT_TRUE(IsWindowEnabled(w));
  ASSERT_EQ(px->put_DoubleBuffered(-1), S_OK);
  ASSERT_EQ(px->get_DoubleBuffered(&b), S_OK);
  EXPECT_EQ(b, VARIANT_TRUE);
  LONG flags = 5;
  ASSERT_EQ(px->DrawTextBiDiModeFlagsReadingOnly(&flags), S_OK);
  EXPECT_EQ(flags, 0);
  ASSERT_EQ(px->IsRightToLeft(&b), S_OK);
  EXPECT_EQ(b, 0);
  ASSERT_EQ(px->Paint(), S_OK);
  // Deactivation takes the window out of the container again.
  ASSERT_EQ(ip->InPlaceDeactivate(), S_OK);
  EXPECT_EQ(site.deactivations, 1);
  EXPECT_NE(GetParent(w), container);
  ip->Release();
  ASSERT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
  ASSERT_EQ(ole->SetClientSite(nullptr), S_OK);
  ole->Release();
  EXPECT_EQ(site.refs, 0u);
  DestroyWindow(container);
}

TEST_F(Control, LibraryStaysLoadedOnceAControlRan) {
  // The device link's per-process state and threads outlive the control.
  px->Release();
  px = nullptr;
  CoFreeUnusedLibraries();
  EXPECT_EQ(lib.Call("DllCanUnloadNow"), S_FALSE);
}

TEST_F(Control, SizePersistsThroughAStream) {
  IOleObject* ole = nullptr;
  IPersistStreamInit* ps = nullptr;
  ASSERT_EQ(px->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)), S_OK);
  ASSERT_EQ(px->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&ps)), S_OK);
  SIZEL size{1234, 567};
  ASSERT_EQ(ole->SetExtent(DVASPECT_CONTENT, &size), S_OK);
  EXPECT_EQ(ps->IsDirty(), S_OK);
  IStream* st = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &st), S_OK);
  ASSERT_EQ(ps->Save(st, TRUE), S_OK);
  EXPECT_EQ(ps->IsDirty(), S_FALSE);
  size = {1, 1};
  ASSERT_EQ(ole->SetExtent(DVASPECT_CONTENT, &size), S_OK);
  LARGE_INTEGER zero{};
  st->Seek(zero, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(ps->Load(st), S_OK);
  ASSERT_EQ(ole->GetExtent(DVASPECT_CONTENT, &size), S_OK);
  EXPECT_EQ(size.cx, 1234);
  EXPECT_EQ(size.cy, 567);
  // A short stream is refused and leaves the size.
  IStream* shortStream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &shortStream), S_OK);
  const LONG one = 5;
  shortStream->Write(&one, sizeof one, nullptr);
  shortStream->Seek(zero, STREAM_SEEK_SET, nullptr);
  EXPECT_TRUE(FAILED(ps->Load(shortStream)));
  ASSERT_EQ(ole->GetExtent(DVASPECT_CONTENT, &size), S_OK);
  EXPECT_EQ(size.cx, 1234);
  shortStream->Release();
  st->Release();
  ps->Release();
  ole->Release();
}

struct AboutSeen {
  bool found = false;       // the box showed up within the bound
  bool layout = false;      // client size and the name label as laid out
  bool okHasFocus = false;  // the focus was on OK when the box opened
  bool closed = false;      // the way out closed it
};

HWND focusOf(HWND box) {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  return GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &gti) ? gti.hwndFocus : nullptr;
}

// Finds this process's about box and leaves it as a user would: 0 a click
// on OK, 1 Enter, 2 Esc, 3 a click on the picture and then Enter. Keys go
// to the control that has the focus, as typed keys do. A box still open
// afterwards is closed through its OK command, so no case can hang.
AboutSeen closeAboutBox(int how) {
  AboutSeen seen;
  const ULONGLONG end = GetTickCount64() + 20000;
  HWND box = nullptr;
  while ((!box || !focusOf(box)) && GetTickCount64() < end) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, L"#32770", L"About")) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == GetCurrentProcessId() && IsWindowVisible(w)) {
        box = w;
        break;
      }
    }
    if (!box || !focusOf(box)) Sleep(20);  // polling for the box and its focus, bounded above
  }
  if (!box) return seen;
  seen.found = true;
  RECT r{};
  GetClientRect(box, &r);
  wchar_t name[32] = {};
  GetDlgItemTextW(box, 102, name, 32);
  seen.layout = r.right == 267 && r.bottom == 127 && std::wstring(name) == L"PelmoraX";
  HWND ok = GetDlgItem(box, IDOK);
  seen.okHasFocus = focusOf(box) == ok;
  switch (how) {
    case 0:
      PostMessageW(ok, BM_CLICK, 0, 0);
      break;
    case 1:
      PostMessageW(focusOf(box), WM_KEYDOWN, VK_RETURN, 0);
      break;
    case 2:
      PostMessageW(focusOf(box), WM_KEYDOWN, VK_ESCAPE, 0);
      break;
    default: {
      HWND picture = GetDlgItem(box, 101);
      SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
      SendMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
      PostMessageW(focusOf(box), WM_KEYDOWN, VK_RETURN, 0);
      break;
    }
  }
  const ULONGLONG closing = GetTickCount64() + 10000;
  while (IsWindow(box) && GetTickCount64() < closing) Sleep(20);  // bounded wait for the close
  seen.closed = !IsWindow(box);
  if (!seen.closed) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  return seen;
}

TEST_F(Control, AboutBoxClosesByOkEnterOrEscape) {
  for (int how = 0; how < 4; ++how) {
    SCOPED_TRACE(how);
    AboutSeen seen;
    std::thread closer([&] { seen = closeAboutBox(how); });
    const HRESULT hr = px->AboutBox();
    closer.join();
    EXPECT_EQ(hr, S_OK);
    EXPECT_TRUE(seen.found);
    EXPECT_TRUE(seen.layout);
    EXPECT_TRUE(seen.okHasFocus);
    EXPECT_TRUE(seen.closed);
  }
}

}  // namespace
