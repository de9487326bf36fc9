#pragma once
// Test rig: the model talking to the simulated interface through a receive
// ring, with replies delivered whole, byte by byte or in random pieces, and a
// controllable clock.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "highspeed/AcquisitionModel.h"
#include "highspeed/ReceiveRing.h"
#include "sim/quillon/QuillonSim.h"

namespace quillon::test {

enum class Delivery { Whole, ByteWise, RandomPieces };

struct Rig {
  explicit Rig(sim::Model model = sim::Model::Aster, Delivery d = Delivery::Whole, unsigned seed = 1)
      : sim(model), delivery(d), rng(seed) {}
  // Everything the model sent was a command of the dialect, nothing more.
  ~Rig() { EXPECT_EQ(sim.Rejected(), std::vector<std::string>{}); }

  AcquisitionModel m;
  sim::QuillonSim sim;
  Delivery delivery;
  std::mt19937 rng;
  ReceiveRing ring;
  long long now = 0;
  std::vector<Effect> log;
  std::vector<std::string> sent;

  void Apply(const Effects& fx) {
    for (const Effect& e : fx) {
      log.push_back(e);
      if (e.kind == Effect::Send) {
        sent.push_back(e.text);
        sim.Feed(e.text);
      }
    }
  }
  void Drain() {
    while (ring.HasData()) Apply(m.OnByte(ring.Get(), now));
  }
  // Delivers bytes as the chosen delivery does; the ring is drained between pieces.
  void Deliver(const std::string& bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
      std::size_t n = bytes.size() - i;
      if (delivery == Delivery::ByteWise) n = 1;
      if (delivery == Delivery::RandomPieces) n = std::min<std::size_t>(n, 1 + rng() % 40);
      for (std::size_t k = 0; k < n; ++k) ring.Push(static_cast<std::uint8_t>(bytes[i + k]));
      i += n;
      now += 1;
      Drain();
    }
  }
  // Runs until the simulator has nothing more to say.
  void Pump() {
    for (int guard = 0; guard < 100000; ++guard) {
      const std::string out = sim.TakeOutput();
      if (out.empty()) return;
      Deliver(out);
    }
  }
  void Do(const Effects& fx) {
    Apply(fx);
    Pump();
  }
  void Idle(long long ms) {
    now += ms;
    Apply(m.OnIdle(now));
    Pump();
  }
  int Count(Effect::Kind k, const std::string& text = {}) const {
    int n = 0;
    for (const auto& e : log)
      if (e.kind == k && (text.empty() || e.text == text)) ++n;
    return n;
  }
  const Effect* Last(Effect::Kind k) const {
    for (auto it = log.rbegin(); it != log.rend(); ++it)
      if (it->kind == k) return &*it;
    return nullptr;
  }
  template <class F>
  auto S(F&& f) {
    return m.With(f);
  }
  void Identify() {
    Do(m.BeginIdentify());
  }
};

}  // namespace quillon::test
