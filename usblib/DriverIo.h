#pragma once
// Runs one request on the driver to its end: every request is overlapped and
// waited for, and a request that outlives its time-out is aborted, then
// cancelled, with bounded waits; one that still has not ended is kept alive
// (never freed) so the driver cannot write into released memory.
#include <cstdint>
#include <functional>
#include <memory>

#include "usblib/DriverApi.h"

namespace vantiro {

// How long a request may take to end after an abort or a cancel.
inline constexpr std::uint32_t kSettleWaitMs = 2000;

struct RequestResult {
  bool ok = false;         // ended in time and the driver reported success
  bool timedOut = false;
  std::uint32_t bytes = 0;
  std::uint32_t error = 0;  // thread error code of the failed step
  std::unique_ptr<PendingRequest> request;  // the ended request with its buffers
};

RequestResult RunRequest(DriverApi& api, DriverHandle handle, std::uint32_t code,
                         std::unique_ptr<IoBuffers> buffers, std::uint32_t timeoutMs,
                         const std::function<void()>& onTimeout = {});

// Requests that never ended, kept for the life of the process.
std::size_t AbandonedRequestCount();

}  // namespace vantiro
