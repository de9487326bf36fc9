// Block reads out of the raw byte buffer: memory-bank downloads and scope
// reads share one loop (devicelink/records/BlockTransfer) over this link.
#include <algorithm>
#include <string>

#include "devicelink/LinkModel.h"
#include "devicelink/Pelmora.h"
#include "devicelink/records/BlockTransfer.h"

namespace {
namespace model = pel::link::model;
namespace rec = pel::records;

// A reply that never comes ends the transfer with this error.
constexpr int kErrorNoBlock = 22;

class ComponentBlockLink final : public rec::BlockLink {
 public:
  ComponentBlockLink(TPelmora& p, const std::function<bool()>& stopped) : p_(p), stopped_(stopped) {}
  void Send(const std::string& command) override { p_.SendCommand(command); }
  void Wait(int ms) override {
    p_.Host().PumpMessages();
    if (ms > 0) p_.Host().SleepMs(ms);
    p_.PollInput();
    p_.Host().PumpMessages();
  }
  std::span<const std::uint8_t> Received() override {
    const auto& rx = TPelmora::State().receive;
    return {rx.raw.data(), rx.rawCount};
  }
  void ClearReceived() override {
    auto& rx = TPelmora::State().receive;
    rx.rawCount = 0;
    rx.rawDropped = 0;
  }
  void DropReceived(std::size_t count) override {
    auto& rx = TPelmora::State().receive;
    count = std::min(count, rx.rawCount);
    std::copy(rx.raw.begin() + static_cast<std::ptrdiff_t>(count),
              rx.raw.begin() + static_cast<std::ptrdiff_t>(rx.rawCount), rx.raw.begin());
    rx.rawCount -= count;
  }
  bool Stopped() override { return stopped_(); }

 private:
  TPelmora& p_;
  const std::function<bool()>& stopped_;
};
}  // namespace

bool pel::link::LinkIO::RunBlockRead(rec::BlockTransfer& transfer, const std::function<bool()>& stopped) {
  const std::function<bool()> ended = [&] { return stopped() || closePending_ || Abandoned(); };
  ComponentBlockLink link(self(), ended);
  const auto deliver = [&](const std::string& record) { return self().DeliverRecord(record) && !ended(); };
  rec::BlockWait wait;
  wait.capacity = pel::link::ReceiveState::kRawSize;
  return rec::RunBlockTransfer(transfer, link, deliver, wait) != rec::TransferStep::Failed;
}

void TPelmora::LoadMemoryData(int pBank, bool pRun) {
  Frame frame(*this);
  auto& s = State();
  auto& hs = s.highSpeed;
  hs.downloadRunning = pRun;
  F_.ErrorNumber = 0;
  const int m = s.modelState;
  if (F_.RunningMode != 0 || (m != model::SornII && m != model::Aster && m != model::Qor)) {
    RaiseDeviceError(27);
    return;
  }
  if (!pRun) return;
  // A bank without a recorded channel would be asked for blocks that make no record.
  if (pBank < 1 || pBank > F_.MemoryTotalIndex || pBank > rec::kMaxBanks ||
      hs.directory.banks[static_cast<std::size_t>(pBank - 1)].ChannelCount() == 0) {
    hs.downloadRunning = false;
    RaiseDeviceError(27);
    return;
  }
  if (InExchange()) {
    hs.downloadRunning = false;
    RaiseDeviceError(22);
    return;
  }
  bool ok = true;
  {
    Exchange guard(*this);
    F_.Run = true;
    F_.RunningMode = 5;
    F_.ExperimentMode = 0;
    s.receive.frameMode = false;
    s.receive.binary = true;
    s.receive.rawCount = 0;
    hs.downloading = true;
    rec::BankDownload download(m == model::Aster, hs.directory.banks[static_cast<std::size_t>(pBank - 1)]);
    try {
      ok = RunBlockRead(download, [&hs] { return !hs.downloadRunning; });
    } catch (...) {
      // A failing host call ends the download like a silent box.
      ok = false;
    }
    hs.blockPause = download.BlockPause();
    hs.downloading = false;
    hs.downloadRunning = false;
    F_.Run = false;
    F_.RunningMode = 0;
    F_.ExperimentMode = 0;
    s.receive.frameMode = false;
    s.receive.binary = false;
    s.receive.rawCount = 0;
    TakeFrame();
  }
  if (!ok) RaiseDeviceError(kErrorNoBlock);
}

void TPelmora::ReadScopeData(bool Flag) {
  Frame frame(*this);
  auto& s = State();
  auto& hs = s.highSpeed;
  if (!Flag) {
    hs.scopeReading = false;
    return;
  }
  if (InExchange()) {
    RaiseDeviceError(22);
    return;
  }
  bool ok = true;
  {
    Exchange guard(*this);
    hs.scopeReading = true;
    rec::ScopeRead read(hs.scopeColumns, F_.SamplingTime, F_.NoOfData, hs.blockPause);
    const int stops = runs_.stopCount;
    try {
      // A run stopped from an event (Pelmora false) ends the read as well.
      ok = RunBlockRead(read, [&] { return !hs.scopeReading || runs_.stopCount != stops; });
    } catch (...) {
      ok = false;
    }
    hs.blockPause = read.BlockPause();
    hs.scopeReading = false;
    if (hs.scopeTimeIndex != hs.lastSentTimeIndex && !closePending_ && !Abandoned()) {
      SendCommand("s{89," + std::to_string(hs.scopeTimeIndex) + "}");
      hs.lastSentTimeIndex = hs.scopeTimeIndex;
    }
  }
  if (!ok) RaiseDeviceError(kErrorNoBlock);
}
