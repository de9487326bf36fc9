#include "devicelink/records/BlockTransfer.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace pel::records {

DataBlock AwaitBlock(BlockLink& link, BlockFormat format, const BlockWait& wait) {
  for (int step = 0;; ++step) {
    const std::span<const std::uint8_t> bytes = link.Received();
    DataBlock block = ScanDataBlock(bytes, format);
    if (block.status != DataBlock::Status::Incomplete) return block;
    // Nothing more fits: whatever is there will never make a block.
    if (wait.capacity > 0 && bytes.size() >= wait.capacity) {
      block.status = DataBlock::Status::Bad;
      block.fault = "raw buffer full without a block";
      return block;
    }
    if (step >= wait.maxSteps || link.Stopped()) return block;
    link.Wait(wait.stepMs);
  }
}

namespace {

std::uint8_t OpeningBracket(BlockFormat format) { return format == BlockFormat::SornQor ? '[' : '{'; }

// Which request a block that came in answers, by the order of the requests.
class RequestQueue {
 public:
  void Sent(const std::string& request) {
    unanswered_.push_back(request);
    if (unanswered_.size() > kMaxUnansweredRequests) unanswered_.pop_front();
  }
  // True when the block answers the current request. bytes is empty for a
  // block that could not be read (its content cannot be compared).
  bool AnswersCurrent(const std::string& current, const std::vector<std::uint8_t>& bytes) {
    while (!unanswered_.empty()) {
      const std::string oldest = unanswered_.front();
      unanswered_.pop_front();
      if (oldest == current) return true;
      // A repeat of the request answered last gives the same bytes again;
      // other bytes mean that request was never answered: look further.
      if (oldest == taken_ && takenKnown_ && !bytes.empty() && bytes != takenBytes_) continue;
      return false;
    }
    return true;  // more blocks than requests: take it for the current one
  }
  void Taken(const std::string& request, const std::vector<std::uint8_t>& bytes) {
    taken_ = request;
    takenBytes_ = bytes;
    takenKnown_ = !bytes.empty();
  }

 private:
  std::deque<std::string> unanswered_;  // oldest first
  std::string taken_;                   // the request of the last block handed on
  std::vector<std::uint8_t> takenBytes_;
  bool takenKnown_ = false;
};

// Tells the transfer how long it has waited.
class TimedLink final : public BlockLink {
 public:
  TimedLink(BlockLink& link, BlockTransfer& transfer) : link_(link), transfer_(transfer) {}
  void Send(const std::string& command) override { link_.Send(command); }
  void Wait(int ms) override {
    link_.Wait(ms);
    transfer_.Waited(ms);
  }
  std::span<const std::uint8_t> Received() override { return link_.Received(); }
  void ClearReceived() override { link_.ClearReceived(); }
  void DropReceived(std::size_t count) override { link_.DropReceived(count); }
  bool Stopped() override { return link_.Stopped(); }

 private:
  BlockLink& link_;
  BlockTransfer& transfer_;
};

}  // namespace

TransferStep RunBlockTransfer(BlockTransfer& transfer, BlockLink& box, const RecordCallback& deliver,
                              const BlockWait& wait) {
  TimedLink link(box, transfer);
  link.ClearReceived();  // nothing received before the transfer answers it
  RequestQueue requests;
  bool send = true;
  for (;;) {
    const std::string current = transfer.Request();
    if (send) {
      link.Send(current);
      requests.Sent(current);
      link.Wait(transfer.BlockPause());
      if (link.Stopped()) return TransferStep::Done;
    }
    send = true;
    const DataBlock block = AwaitBlock(link, transfer.Format(), wait);
    if (link.Stopped()) return TransferStep::Done;
    TransferStep step;
    if (block.status == DataBlock::Status::Incomplete) {
      // A reply under way may still complete and is matched then; bytes
      // without a block start never will.
      const auto bytes = link.Received();
      if (std::find(bytes.begin(), bytes.end(), OpeningBracket(transfer.Format())) == bytes.end())
        link.ClearReceived();
      step = transfer.OnSilence();
    } else {
      std::vector<std::uint8_t> bytes;
      if (block.consumed > 0) {
        // The block from its bracket on: a line end left before it is no part of it.
        const auto received = link.Received();
        const auto end = received.begin() + static_cast<std::ptrdiff_t>(block.consumed);
        bytes.assign(std::find(received.begin(), end, OpeningBracket(transfer.Format())), end);
        link.DropReceived(block.consumed);
      } else {
        link.ClearReceived();  // an unreadable block: where it ends is unknown
      }
      if (!requests.AnswersCurrent(current, bytes)) {
        send = false;  // the answer to an earlier request: wait on for this one's
        continue;
      }
      requests.Taken(current, bytes);
      step = transfer.OnBlock(block, deliver);
    }
    if (step != TransferStep::More) return step;
    if (link.Stopped()) return TransferStep::Done;
  }
}

}  // namespace pel::records
