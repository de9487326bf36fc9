#pragma once
// LinkIO: the component's command input and output: sending a command,
// draining input, the reply wait, the receive handlers with their frame
// dispatch, the poll, the reply and block reads of the high-speed part, and
// the marker of a published exchange.
//
// Ownership and threads: a base of TPelmora alone, under RunSteps (main
// thread). It holds the component's state (LinkCore) and its lifetime
// (LinkLifetime), so what it owns is what LinkCore lists. The parts it calls
// back into (the error raiser, the close, the USB tick, the hooks) are
// TPelmora's.
#include <cstddef>
#include <functional>
#include <string>
#include <utility>

#include "devicelink/LinkCore.h"
#include "devicelink/LinkEnvironment.h"
#include "devicelink/LinkLifetime.h"
#include "devicelink/LinkProcessState.h"

class TPelmora;
namespace pel::records {
class BlockTransfer;
}

namespace pel::link {

class LinkIO : public LinkLifetime, protected LinkCore {
 public:
  using LinkCore::F_;

  void SendCommand(const std::string& command);
  std::string FlushInput();
  std::string WaitReply();
  std::string TakeFrame();
  void HandleSerialInput(std::size_t count);
  void HandleSocketInput();
  // The transport went away (the peer closed, the port vanished): error 8
  // once, the run ended, the link closed; commands then fail with 8 until
  // the next InitializeComm.
  void LinkLost();
  void PollInput();
  void PollTick();

  SerialLink& Port() { return *serial_; }
  SocketWorker& Worker() { return *worker_; }
  HostLoop& Host() { return *env_.host; }
  static LinkProcessState& State() { return ProcessState(); }

  // True while a command exchange (send and reply wait) runs; a published
  // method that talks to the interface refuses with error 22 then.
  bool InExchange() const { return exchangeDepth_ > 0; }
  // Marks one exchange of a published method; see InExchange.
  class Exchange {
   public:
    explicit Exchange(LinkIO& l);
    ~Exchange();
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

   private:
    LinkIO& l_;
    Frame frame_;  // last: the component may end as it unwinds
  };

 protected:
  LinkIO(LinkFlavour flavour, LinkEnvironment env) : LinkCore(flavour, std::move(env)) {}
  ~LinkIO() = default;

  void Dispatch(std::size_t serialCount, bool fromSocket);
  // Pumps and polls in passes of stepMs until the received text holds a
  // bracketed reply, or the passes run out; returns what was taken.
  std::string CollectReply(int passes, int stepMs);
  // Runs a block transfer over the raw byte buffer until it ends; false when
  // its retry bound ran out. stopped() says the host ended it.
  bool RunBlockRead(pel::records::BlockTransfer& transfer, const std::function<bool()>& stopped);
  bool Abandoned() const { return Released(); }
  // The component this is a base of: every LinkIO is part of a TPelmora.
  TPelmora& self();
};

}  // namespace pel::link
