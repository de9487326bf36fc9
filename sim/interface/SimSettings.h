#pragma once
// What the simulated interface answers: its identify reply, the capability
// probes, product and version, the sensors on its channels and the shape of
// its stream frames. Presets per model; every field may be changed.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pel::sim {

enum class Model { SornII, Aster, Vaxo, Qor, Qor3, Unnamed };

// How the box's memory banks are reached: not at all, one bank at a time by
// block number ("s{80,3}", "s{80,4,b}"), or 16 flagged banks by sample
// address ("s{80,10}", "s{80,11,k}", "s{80,12,addr,n}").
enum class MemoryFormat { None, SornQor, Aster };

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
  // The value of a channel (0 = A) in the n-th sample of a run (from 0);
  // also what captures and scope runs record.
  std::function<double(std::int64_t sample, int channel)> value;
  // Timing stream: whether a channel's gate is blocked ("1") at a tick of
  // 1 ms from the start of the run; empty for the default pattern.
  std::function<bool(std::int64_t tick, int channel)> gate;
  int fastSamplesPerFrame = 8;    // fast single-channel frames (length 75)
  int blockSamplesPerFrame = 10;  // fast block frames ("s{146,1}")

  MemoryFormat memory = MemoryFormat::None;
  int captureSamples = 75;      // samples a capture records before it ends
  bool refuseCapture = false;   // captures are refused ("[02]" or "{0}")

  bool scopeRuns = false;           // answers "s{88,...}" and "s{89,n}"
  std::vector<int> scopeChannels{0};  // channels (0 = A) interleaved in the scope buffer

  static InterfaceSettings forModel(Model m);
};

// The identify reply line of each model.
std::string identifyReplyFor(Model m);
// Model names for the command line: sorn, aster, vaxo, qor, qor03, unnamed.
std::optional<Model> modelFromName(const std::string& name);

// The default stream values: channel k reads k + 1 plus a tenth of the
// sample number modulo 10, so every frame differs from the previous one.
double defaultValue(std::int64_t sample, int channel);
// The default gate: blocked from 40 to 59 ms of every 100 ms.
bool defaultGate(std::int64_t tick, int channel);

}  // namespace pel::sim
