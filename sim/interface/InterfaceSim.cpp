#include "sim/interface/InterfaceSim.h"

#include "sim/interface/WinTransports.h"

namespace pel::sim {

InterfaceSim::InterfaceSim(Model model) : core_(InterfaceSettings::forModel(model)) {}

InterfaceSim::InterfaceSim(InterfaceSettings settings) : core_(std::move(settings)) {}

InterfaceSim::~InterfaceSim() { stop(); }

void InterfaceSim::launch(std::function<void()> body) {
  stop();
  stop_ = false;
  connections_ = 0;
  thread_ = std::thread(std::move(body));
}

void InterfaceSim::startTcp(std::uint16_t port) {
  stop();
  std::shared_ptr<ServerTransport> t = makeTcpServer(port);
  launch([this, t] {
    TransportState s{core_, stop_, connections_, peer_};
    t->serve(s);
  });
}

void InterfaceSim::startCom(int portNumber) {
  stop();
  std::shared_ptr<ServerTransport> t = makeComServer(portNumber);
  launch([this, t] {
    TransportState s{core_, stop_, connections_, peer_};
    t->serve(s);
  });
}

void InterfaceSim::stop() {
  if (!thread_.joinable()) return;
  stop_ = true;
  thread_.join();
  peer_ = false;
}

void InterfaceSim::setModel(Model model) {
  core_.withEngine([&](SimEngine& e) { e.settings() = InterfaceSettings::forModel(model); });
}

void InterfaceSim::setSettings(InterfaceSettings settings) {
  if (!settings.value) settings.value = defaultValue;
  core_.withEngine([&](SimEngine& e) { e.settings() = std::move(settings); });
}

InterfaceSettings InterfaceSim::settings() {
  return core_.withEngine([](SimEngine& e) { return e.settings(); });
}

void InterfaceSim::setFaults(const Faults& faults) {
  core_.withEngine([&](SimEngine& e) { e.setFaults(faults); });
}

Faults InterfaceSim::faults() {
  return core_.withEngine([](SimEngine& e) { return e.faults(); });
}

void InterfaceSim::setHandler(int code, SimEngine::Handler h) {
  core_.withEngine([&](SimEngine& e) { e.setHandler(code, std::move(h)); });
}

void InterfaceSim::setHandler(int code, const std::string& firstArg, SimEngine::Handler h) {
  core_.withEngine([&](SimEngine& e) { e.setHandler(code, firstArg, std::move(h)); });
}

void InterfaceSim::setBank(int index, Bank bank) {
  core_.withEngine([&](SimEngine& e) { e.memory().banks.at(index) = std::move(bank); });
}

Bank InterfaceSim::bank(int index) {
  return core_.withEngine([&](SimEngine& e) { return e.memory().banks.at(index); });
}

bool InterfaceSim::capturing() {
  return core_.withEngine([](SimEngine& e) { return e.memory().capture.has_value(); });
}

bool InterfaceSim::streaming() {
  return core_.withEngine([](SimEngine& e) { return e.streaming(); });
}

std::int64_t InterfaceSim::framesSent() {
  return core_.withEngine([](SimEngine& e) { return e.framesSent(); });
}

}  // namespace pel::sim
