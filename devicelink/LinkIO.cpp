// The link's input and output: sending a command, draining input, the reply
// wait, the receive handlers with the frame dispatch, the poll and the
// exchange marker.
#include "devicelink/LinkIO.h"

#include <cstdint>

#include "devicelink/LinkFraming.h"
#include "devicelink/Pelmora.h"
#include "platform/Timer.h"

namespace pel::link {

// A public non-virtual base of TPelmora, so the cast is valid.
TPelmora& LinkIO::self() { return static_cast<TPelmora&>(*this); }

void LinkIO::SendCommand(const std::string& command) {
  Frame frame(*this);
  // Nothing goes out once the host let go, also when it let go in a
  // hand-over that the flush ran.
  if (Released()) return;
  FlushInput();
  if (Released()) return;
  const std::string line = command + "\r\n";
  // After a loss a command has nowhere to go: say so instead of dropping it.
  if (linkLoss_ == 2 && !serial_->IsOpen() && !worker_->IsConnected()) {
    self().RaiseDeviceError(8);
    return;
  }
  // Each transport on its own, so a failing port does not keep TCP from sending.
  try {
    if (serial_->IsOpen()) serial_->WriteStr(line);
  } catch (...) {
    // The port of a connected link that takes no more writes has gone.
    if (F_.PelmoraConnected && State().modelState != model::Tolemic)
      LinkLost();
    else if (linkLoss_ == 0)
      self().RaiseDeviceError(8);
  }
  try {
    if (worker_->IsConnected()) {
      worker_->QueueSend(line);
      PollInput();
      Host().SleepMs(50);
    }
  } catch (...) {
    self().RaiseDeviceError(8);
  }
  Host().PumpMessages();
  Host().SleepMs(10);
  Host().PumpMessages();
}

void LinkIO::LinkLost() {
  // Once per connection, and only for a link that was up.
  if (destroying_ || linkLoss_ != 0 || !F_.PelmoraConnected) return;
  linkLoss_ = 1;
  try {
    if (serial_->IsOpen()) serial_->Close();  // its stop commands must not meet the dead port
  } catch (...) {
  }
  if (InExchange()) {
    // A command waits for its reply: that exchange ends first, then the link closes.
    self().RaiseDeviceError(8);
    closePending_ = true;
    return;
  }
  self().CloseCommNow();
  self().RaiseDeviceError(8);
}

std::string LinkIO::FlushInput() {
  auto& rx = State().receive;
  std::string drained;
  if (worker_->IsConnected()) {
    while (worker_->HasReceived()) rx.appendText(worker_->PopReceived());
    drained = rx.buffer;
  }
  if (serial_->IsOpen()) {
    for (int i = 0; i < 6; ++i) PollInput();
    Host().SleepMs(10);
    drained = rx.buffer;
  }
  rx.buffer.clear();
  return drained;
}

std::string LinkIO::WaitReply() {
  std::string collected;
  for (int i = 0;; ++i) {
    Host().SleepMs(flavour_.replyWaitStepMs);
    Host().PumpMessages();
    PollInput();
    // A close asked for from an event handler, or a host that let go, ends the wait.
    if (closePending_ || Abandoned()) return {};
    collected += TakeFrame();
    if (i > 60) return {};
    if (ReplyComplete(collected)) return collected;
  }
}

std::string LinkIO::TakeFrame() {
  auto& rx = State().receive;
  return pel::link::TakeFrame(rx.buffer, rx.frameMode, rx.lastFrameLength);
}

void LinkIO::HandleSerialInput(std::size_t count) {
  if (Released()) return;
  Frame frame(*this);
  auto& rx = State().receive;
  try {
    if (!rx.binary) {
      rx.appendText(serial_->ReadStr(count));
    } else {
      // Staged in pieces of 255 bytes; what does not fit the raw buffer is dropped.
      std::uint8_t stage[ReceiveState::kStageSize];
      while (count > 0) {
        const std::size_t want = count < sizeof stage ? count : sizeof stage;
        const std::size_t got = serial_->Read(stage, want);
        if (got == 0) break;
        rx.appendRaw(stage, got);
        count -= got;
      }
    }
  } catch (...) {
  }
  Dispatch(count, false);
}

void LinkIO::HandleSocketInput() {
  if (Released()) return;
  Frame frame(*this);
  auto& rx = State().receive;
  try {
    const std::string piece = worker_->PopReceived();
    if (!rx.binary)
      rx.appendText(piece);
    else
      rx.appendRaw(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size());
  } catch (...) {
  }
  Dispatch(0, true);
}

void LinkIO::Dispatch(std::size_t serialCount, bool fromSocket) {
  auto& rx = State().receive;
  if (!rx.frameMode) return;
  MapBrackets(rx.buffer);
  // Block frames of a Qor are taken only by the ActiveX host, and only from the port.
  const bool fastQor = flavour_.fastQorOverCom && !fromSocket;
  // A handler may close or reopen the link meanwhile: frame mode is asked again each time.
  while (rx.frameMode && HoldsFrame(rx.buffer)) {
    std::string frame = TakeFrame();
    if (frame.empty()) break;  // its line end has not arrived yet
    rx.lastFrame = std::move(frame);
    try {
      const auto target = ChooseDispatch(F_.ExperimentMode, State().modelState, rx.lastFrameLength, fastQor);
      const std::function<void(TPelmora&)>* parser = nullptr;
      switch (target) {
        case pel::link::Dispatch::Analog: parser = &hooks_.analogFrame; break;
        case pel::link::Dispatch::FastBlock: parser = &hooks_.fastBlock; break;
        case pel::link::Dispatch::FastSingle: parser = &hooks_.fastSingle; break;
        case pel::link::Dispatch::Timing: parser = &hooks_.timingFrame; break;
        case pel::link::Dispatch::EndOfCapture: parser = &hooks_.endOfCapture; break;
        case pel::link::Dispatch::Drop: break;
        case pel::link::Dispatch::DrainInput:
          if (fromSocket)
            worker_->PopReceived();
          else
            serial_->ReadStr(serialCount);
          rx.buffer.clear();
          break;
      }
      if (parser && *parser) (*parser)(self());
    } catch (...) {
      // A failing parser drops the rest of its frame only.
    }
    if (Released()) return;
    if (hooks_.loopCountRule) hooks_.loopCountRule(self());
    if (Released()) return;
  }
}

void LinkIO::PollInput() {
  Frame frame(*this);
  if (destroying_) return;
  Host().RunPendingHandOvers();
  if (Released()) return;
  auto& s = State();
  if (s.modelState == model::Usb) {
    if (self().UsbWatchTick()) {
      // ThreadType: the USB polling thread was resumed (or its stop taken).
    } else if (!s.usbBusy && F_.RunningMode > 0 && hooks_.pollUsbSensors) {
      s.usbBusy = true;
      try {
        hooks_.pollUsbSensors(self());
      } catch (...) {
      }
      s.usbBusy = false;
    }
  } else if (s.modelState == model::Tolemic) {
    Host().PumpMessages();
    if (worker_) worker_->Resume();
  } else {
    Host().RunPendingHandOvers();
    Host().PumpMessages();
    if (worker_ && worker_->IsConnected()) worker_->Resume();
  }
}

void LinkIO::PollTick() {
  if (!timer_ || Released() || inTick_) return;
  inTick_ = true;
  {
    // A release inside the tick ends the component from its window's queue,
    // never inside its own timer's callback: this frame never ends it.
    Frame frame(*this);
    timer_->setEnabled(false);
    PollInput();
    if (!Released()) timer_->setEnabled(true);
  }
  inTick_ = false;
}

LinkIO::Exchange::Exchange(LinkIO& l) : l_(l), frame_(l) { ++l_.exchangeDepth_; }

LinkIO::Exchange::~Exchange() {
  if (--l_.exchangeDepth_ == 0 && l_.closePending_ && !l_.Released()) {
    l_.closePending_ = false;
    l_.self().CloseCommNow();
  }
  // frame_ goes last: the component may end here.
}

namespace {
// An opening bracket of either kind with a closing one after it.
bool HoldsReply(const std::string& text) {
  const std::size_t open = text.find_first_of("{[");
  return open != std::string::npos && text.find_first_of("}]", open + 1) != std::string::npos;
}

}  // namespace

std::string LinkIO::CollectReply(int passes, int stepMs) {
  std::string collected;
  for (int i = 0; i < passes; ++i) {
    Host().PumpMessages();
    PollInput();
    collected += TakeFrame();
    if (HoldsReply(collected) || closePending_ || Abandoned()) break;
    Host().SleepMs(stepMs);
  }
  return collected;
}

}  // namespace pel::link
