#include "usblib/DriverIo.h"

#include <mutex>
#include <vector>

namespace vantiro {

namespace {
std::mutex& AbandonedLock() {
  static std::mutex lock;
  return lock;
}
std::vector<std::unique_ptr<PendingRequest>>& Abandoned() {
  static auto* list = new std::vector<std::unique_ptr<PendingRequest>>;  // never destroyed on purpose
  return *list;
}
void Abandon(std::unique_ptr<PendingRequest> request) {
  std::lock_guard guard(AbandonedLock());
  Abandoned().push_back(std::move(request));
}
}  // namespace

std::size_t AbandonedRequestCount() {
  std::lock_guard guard(AbandonedLock());
  return Abandoned().size();
}

RequestResult RunRequest(DriverApi& api, DriverHandle handle, std::uint32_t code,
                         std::unique_ptr<IoBuffers> buffers, std::uint32_t timeoutMs,
                         const std::function<void()>& onTimeout) {
  RequestResult result;
  if (handle == kInvalidDriverHandle) {
    result.error = kErrorGenFailure;
    return result;
  }
  StartedRequest started = api.Start(handle, code, std::move(buffers));
  if (!started.request) {
    result.error = started.error;
    return result;
  }
  if (started.error != kErrorSuccess && started.error != kErrorIoPending) {
    result.error = started.error;
    result.request = std::move(started.request);
    return result;
  }
  PendingRequest& request = *started.request;
  if (started.error == kErrorIoPending) {
    const WaitResult first = request.Wait(timeoutMs);
    if (first != WaitResult::Ended) {
      result.timedOut = first == WaitResult::TimedOut;
      if (onTimeout) onTimeout();
      if (request.Wait(kSettleWaitMs) != WaitResult::Ended) {
        api.CancelIo(handle);
        if (request.Wait(kSettleWaitMs) != WaitResult::Ended) {
          Abandon(std::move(started.request));
          result.error = kErrorOperationAborted;
          return result;
        }
      }
      std::uint32_t ignoredBytes = 0, ignoredError = 0;
      request.Outcome(ignoredBytes, ignoredError);
      result.error = kErrorOperationAborted;
      result.request = std::move(started.request);
      return result;
    }
  }
  result.ok = request.Outcome(result.bytes, result.error);
  result.request = std::move(started.request);
  return result;
}

}  // namespace vantiro
