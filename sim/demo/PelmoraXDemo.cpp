// PelmoraXDemo: a small COM client of the registered PelmoraX control for
// scripts/demo.sh. It connects to the interface on TCP 4000, runs a short
// experiment and prints each record as the DataReceived event brings it.
//   PelmoraXDemo [SECONDS] [SAMPLING]
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <ocidl.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "activex/PelmoraX_h.h"
#include "tests/activex/ComClient.h"

namespace {

// One COM reference, released with its owner.
template <class T>
class Ref {
 public:
  Ref() = default;
  ~Ref() {
    if (p_) p_->Release();
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }

 private:
  T* p_ = nullptr;
};

std::string Narrow(const wchar_t* w, UINT n) {
  std::string s(n, '\0');
  for (UINT i = 0; i < n; ++i) s[i] = w[i] < 128 ? static_cast<char>(w[i]) : '?';
  return s;
}

// The event sink, on main's stack: its count does not free it, and it
// outlives the connection.
class Events final : public IDispatch {
 public:
  int records = 0;
  bool stopped = false;
  long lastError = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_IPelmoraXEvents) {
      *out = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    const VARIANT* arg = params && params->cArgs == 1 ? &params->rgvarg[0] : nullptr;
    switch (id) {
      case 201:  // DataReceived
        if (arg && V_VT(arg) == VT_BSTR) {
          ++records;
          std::printf("DataReceived  %s\n", Narrow(V_BSTR(arg), SysStringLen(V_BSTR(arg))).c_str());
        }
        break;
      case 202:  // PelmoraError
        lastError = arg && V_VT(arg) == VT_I4 ? V_I4(arg) : -1;
        std::printf("PelmoraError  %ld\n", lastError);
        break;
      case 203:
        std::printf("StartExperiment\n");
        break;
      case 204:
        stopped = true;
        std::printf("StopExperiment\n");
        break;
    }
    std::fflush(stdout);
    return S_OK;
  }
};

int Fail(const char* what, HRESULT hr) {
  std::fprintf(stderr, "PelmoraXDemo: %s (0x%08lx)\n", what, static_cast<unsigned long>(hr));
  return 1;
}

int Run(double seconds, double sampling) {
  Ref<IPelmoraX> px;
  HRESULT hr = CoCreateInstance(CLSID_PelmoraX, nullptr, CLSCTX_INPROC_SERVER, IID_IPelmoraX, px.OutVoid());
  if (FAILED(hr)) return Fail("PelmoraX is not registered", hr);
  Events events;
  Ref<IConnectionPointContainer> container;
  Ref<IConnectionPoint> point;
  DWORD cookie = 0;
  if (FAILED(hr = px->QueryInterface(IID_IConnectionPointContainer, container.OutVoid())) ||
      FAILED(hr = container->FindConnectionPoint(DIID_IPelmoraXEvents, point.Out())) ||
      FAILED(hr = point->Advise(&events, &cookie)))
    return Fail("cannot connect to the control's events", hr);

  LONG r = -1;
  if (FAILED(hr = px->InitializeComm(&r)) || r != 0) {
    point->Unadvise(cookie);
    return Fail("no interface on TCP 127.0.0.1:4000", hr);
  }
  BSTR type = nullptr;
  px->get_PelmoraType(&type);
  BSTR unitA = nullptr, unitB = nullptr;
  px->get_CHAUnit(&unitA);
  px->get_CHBUnit(&unitB);
  std::printf("connected to a %s; channel A in %s, channel B in %s\n",
              Narrow(type, SysStringLen(type)).c_str(), Narrow(unitA, SysStringLen(unitA)).c_str(),
              Narrow(unitB, SysStringLen(unitB)).c_str());
  SysFreeString(type);
  SysFreeString(unitA);
  SysFreeString(unitB);
  const LONG planned = static_cast<LONG>(seconds / sampling + 0.5) + 1;
  px->put_SamplingTime(sampling);
  px->put_ExperimentLength(seconds);
  px->put_LoopCount(planned);
  px->put_AutoStop(VARIANT_TRUE);
  std::printf("a run of %g s at %g s: %ld records (record number, time, channel values)\n", seconds, sampling,
              static_cast<long>(planned));
  std::fflush(stdout);
  int status = 0;
  if (FAILED(hr = px->Pelmora(VARIANT_TRUE, &r)) || r != 0) {
    status = Fail("the run did not start", hr);
  } else {
    const auto limit = static_cast<DWORD>(seconds * 1000) + 30000;
    if (!pel::test::PumpUntil([&] { return events.stopped; }, limit))
      status = Fail("the run did not stop by itself", E_FAIL);
  }
  std::printf("%d records arrived\n", events.records);
  px->CloseComm(&r);
  point->Unadvise(cookie);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  const double sampling = argc > 2 ? std::atof(argv[2]) : 0.1;
  if (FAILED(CoInitialize(nullptr))) return Fail("CoInitialize failed", E_FAIL);
  const int status = Run(seconds, sampling);
  CoUninitialize();
  return status;
}
