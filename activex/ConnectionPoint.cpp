#include "activex/ConnectionPoint.h"

#include <atomic>
#include <new>
#include <olectl.h>

namespace pel::com {

namespace {

// IEnumConnections / IEnumConnectionPoints over a fixed list of at most one.
template <class Enum, class Item, const IID& kIid>
class OneItemEnum final : public Enum {
 public:
  explicit OneItemEnum(bool has, Item item, ULONG pos = 0) : has_(has), item_(item), pos_(pos) { hold(); }
  ~OneItemEnum() { drop(); }
  OneItemEnum(const OneItemEnum&) = delete;
  OneItemEnum& operator=(const OneItemEnum&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == kIid) {
      *out = static_cast<Enum*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) override {
    if (!items || (count > 1 && !fetched)) return E_POINTER;
    ULONG got = 0;
    if (count > 0 && has_ && pos_ == 0) {
      items[0] = item_;
      addRefItem(items[0]);
      got = 1;
      pos_ = 1;
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const ULONG total = has_ ? 1 : 0;
    const ULONG left = total > pos_ ? total - pos_ : 0;
    pos_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    pos_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(Enum** out) override {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) OneItemEnum(has_, item_, pos_);
    return *out ? S_OK : E_OUTOFMEMORY;
  }

 private:
  static void addRefItem(IConnectionPoint* p) { p->AddRef(); }
  static void addRefItem(CONNECTDATA& d) { d.pUnk->AddRef(); }
  static void releaseItem(IConnectionPoint* p) { p->Release(); }
  static void releaseItem(CONNECTDATA& d) { d.pUnk->Release(); }
  void hold() {
    if (has_) addRefItem(item_);
  }
  void drop() {
    if (has_) releaseItem(item_);
  }
  std::atomic<ULONG> refs_{1};
  bool has_;
  Item item_;
  ULONG pos_;
};

using ConnectionsEnum = OneItemEnum<IEnumConnections, CONNECTDATA, IID_IEnumConnections>;
using EnumPoints = OneItemEnum<IEnumConnectionPoints, IConnectionPoint*, IID_IEnumConnectionPoints>;

}  // namespace

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* owner, REFIID events,
                                 std::function<void(IDispatch*)> onSink)
    : owner_(owner), events_(events), onSink_(std::move(onSink)) {}

void ConnectionPoint::Disconnect() {
  if (!sink_) return;
  if (onSink_) onSink_(nullptr);
  sink_.reset();
  sinkUnknown_.reset();
}

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = events_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = owner_;
  owner_->AddRef();
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  if (sink_) return CONNECT_E_ADVISELIMIT;
  ComPtr<IDispatch> events;
  if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(events.put()))) || !events)
    return CONNECT_E_CANNOTCONNECT;
  sinkUnknown_ = ComPtr<IUnknown>::share(sink);
  sink_ = events;
  if (onSink_) onSink_(sink_.get());
  *cookie = kCookie;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  if (cookie != kCookie || !sink_) return CONNECT_E_NOCONNECTION;
  Disconnect();
  return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (!out) return E_POINTER;
  CONNECTDATA d{sinkUnknown_.get(), kCookie};
  *out = new (std::nothrow) ConnectionsEnum(static_cast<bool>(sink_), d);
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT EnumOneConnectionPoint(IConnectionPoint* point, IEnumConnectionPoints** out) {
  if (!out) return E_POINTER;
  *out = new (std::nothrow) EnumPoints(point != nullptr, point);
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace pel::com
