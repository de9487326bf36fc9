#include "devicelink/records/BlockTransfer.h"

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

TransferStep RunBlockTransfer(BlockTransfer& transfer, BlockLink& link, const RecordCallback& deliver,
                              const BlockWait& wait) {
  for (;;) {
    // Bytes left from an earlier reply (a late answer to a repeated request)
    // would be read as the start of this one.
    link.ClearReceived();
    link.Send(transfer.Request());
    link.Wait(transfer.BlockPause());
    if (link.Stopped()) return TransferStep::Done;
    const DataBlock block = AwaitBlock(link, transfer.Format(), wait);
    if (link.Stopped()) return TransferStep::Done;
    link.ClearReceived();
    const TransferStep step = block.status == DataBlock::Status::Incomplete ? transfer.OnSilence()
                                                                            : transfer.OnBlock(block, deliver);
    if (step != TransferStep::More) return step;
    if (link.Stopped()) return TransferStep::Done;
  }
}

}  // namespace pel::records
