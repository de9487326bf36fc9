#pragma once
// The block-by-block read shared by memory downloads and scope reads: send
// the request for the current block, wait (bounded) until the bytes its
// count announces, the check byte and the line end are in, judge the block,
// and ask again for a bad or missing one within the transfer's retry bound.
// Free of any transport: the component supplies a BlockLink.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "devicelink/records/DataBlock.h"

namespace pel::records {

enum class TransferStep { More, Done, Failed };

// Receives one record; false when the host ended the transfer meanwhile.
using RecordCallback = std::function<bool(const std::string&)>;

// What a download or scope read decides; BankDownload and ScopeRead.
class BlockTransfer {
 public:
  virtual ~BlockTransfer() = default;
  virtual std::string Request() const = 0;  // for the current block
  virtual BlockFormat Format() const = 0;
  // A complete block (Good, Empty or Bad) was scanned out of the raw bytes.
  virtual TransferStep OnBlock(const DataBlock& block, const RecordCallback& deliver) = 0;
  // No complete block arrived within the wait.
  virtual TransferStep OnSilence() = 0;
  virtual int BlockPause() const = 0;  // ms after each request
  // The transfer slept ms (a pause or a step of a block wait).
  virtual void Waited(int /*ms*/) {}
};

// The transport. Wait pumps the host's queue and polls input around the
// sleep, so received bytes (and host events) come in during it.
class BlockLink {
 public:
  virtual ~BlockLink() = default;
  virtual void Send(const std::string& command) = 0;
  virtual void Wait(int ms) = 0;
  virtual std::span<const std::uint8_t> Received() = 0;
  virtual void ClearReceived() = 0;
  // Drops the first count bytes received (one block), keeping what follows.
  virtual void DropReceived(std::size_t count) = 0;
  // The host ended the transfer from an event (or let the component go).
  virtual bool Stopped() = 0;
};

struct BlockWait {
  int stepMs = 5;
  int maxSteps = 100;        // about half a second per block
  std::size_t capacity = 0;  // the raw buffer's size; a full buffer without a block is a bad block (0: none)
};

// Waits for one block. Incomplete only when the wait ran out (or the
// transfer was stopped meanwhile).
DataBlock AwaitBlock(BlockLink& link, BlockFormat format, const BlockWait& wait);

// Runs the transfer to its end: Done when it finished or was stopped,
// Failed when its retry bound ran out. A box answers its requests in order,
// also late ones: each block that comes in answers the oldest request not
// answered yet, and a block that answers an earlier request than the current
// one is dropped, so a late reply never stands for a later block.
inline constexpr std::size_t kMaxUnansweredRequests = 32;
TransferStep RunBlockTransfer(BlockTransfer& transfer, BlockLink& link, const RecordCallback& deliver,
                              const BlockWait& wait);

}  // namespace pel::records
