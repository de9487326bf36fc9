#pragma once
// The control's one connection point: a single container sink for the
// event interface. The container's sink must answer for that interface, or
// the connection is refused. The point lives inside its control and shares
// the control's reference count.
#include <windows.h>
#include <ocidl.h>

#include <functional>

#include "activex/ComSupport.h"

namespace pel::com {

class ConnectionPoint final : public IConnectionPoint {
 public:
  // owner: the container the point belongs to (its reference count is
  // ours). onSink: told of each new sink (null on disconnection).
  ConnectionPoint(IConnectionPointContainer* owner, REFIID events, std::function<void(IDispatch*)> onSink);
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  // Drops the sink (the control is closing).
  void Disconnect();
  const IID& EventsIid() const { return events_; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return owner_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return owner_->Release(); }
  // IConnectionPoint
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

 private:
  static constexpr DWORD kCookie = 1;
  IConnectionPointContainer* owner_;
  IID events_;
  std::function<void(IDispatch*)> onSink_;
  ComPtr<IUnknown> sinkUnknown_;  // as the container passed it
  ComPtr<IDispatch> sink_;        // queried for the event interface
};

// An enumerator over at most one connection point (for the container).
HRESULT EnumOneConnectionPoint(IConnectionPoint* point, IEnumConnectionPoints** out);

}  // namespace pel::com
