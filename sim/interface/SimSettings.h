#pragma once
// What the simulated interface answers: its identify reply, the capability
// probes, product and version, the sensors on its channels and the shape of
// its stream frames. Presets per model; every field may be changed.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pel::sim {

enum class Model { SornII, Aster, Vaxo, Qor, Qor3, Unnamed };

// Replies are whole lines without their CR LF, so a test can give one
// without braces; no value means the interface stays silent.
struct InterfaceSettings {
  std::string identifyReply;               // to "s{10,3}"
  std::optional<std::string> timingProbe;  // to "s{16,0}"
  std::optional<std::string> scopeProbe;   // to "s{11,3}"
  std::optional<std::string> eightPortProbe;  // to "s{11,5}"
  std::string productNo;                   // body of the reply to "s{10,R}"
  std::string versionNo;                   // body of the reply to "s{10,4}"
  std::array<int, 8> sensorIds{};          // channels A to H ("s{20}", "s{20,2}")
  int frameLength4 = 39;  // normal frame length in 4-port mode, counting its CR
  int frameLength8 = 99;  // the same in 8-port mode (after "s{11,5}")
  bool squareBrackets = false;  // stream frames between "[" and "]"
  // The value of a channel (0 = A) in the n-th sample of a run (from 0).
  std::function<double(std::int64_t sample, int channel)> value;

  static InterfaceSettings forModel(Model m);
};

// The identify reply line of each model.
std::string identifyReplyFor(Model m);
// Model names for the command line: sorn, aster, vaxo, qor, qor03, unnamed.
std::optional<Model> modelFromName(const std::string& name);

// The default stream values: channel k reads k + 1 plus a tenth of the
// sample number modulo 10, so every frame differs from the previous one.
double defaultValue(std::int64_t sample, int channel);

}  // namespace pel::sim
