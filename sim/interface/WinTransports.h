#pragma once
// The transports behind InterfaceSim: each is set up on the caller's thread
// (so a port that cannot be had throws there) and then serves the core on
// the transport thread until `stop` is set.
#include <atomic>
#include <cstdint>
#include <memory>

#include "sim/interface/SimCore.h"

namespace pel::sim {

struct TransportState {
  SimCore& core;
  const std::atomic<bool>& stop;
  std::atomic<int>& connections;
  std::atomic<bool>& peer;
};

class ServerTransport {
 public:
  virtual ~ServerTransport() = default;
  virtual void serve(TransportState& state) = 0;
};

std::unique_ptr<ServerTransport> makeTcpServer(std::uint16_t port);
std::unique_ptr<ServerTransport> makeComServer(int portNumber);

}  // namespace pel::sim
