#include "sim/interface/MemoryCommands.h"

#include <algorithm>
#include <chrono>

#include "sim/interface/DataBlock.h"
#include "sim/interface/SimEngine.h"

namespace pel::sim {
namespace {

using Clock = SimEngine::Clock;

bool isAster(const SimEngine& e) { return e.settings().memory == MemoryFormat::Aster; }
bool isSornQor(const SimEngine& e) { return e.settings().memory == MemoryFormat::SornQor; }
bool hasMemory(const SimEngine& e) { return e.settings().memory != MemoryFormat::None; }

// Status replies: "[09]" / "{1}" accepted, "[02]" / "{0}" refused; a stop
// answers "[00]" / "{0}".
void accepted(SimEngine& e, bool ok, const char* sornOk = "[09]") {
  if (isAster(e))
    e.reply(ok ? "{1}" : "{0}");
  else
    e.reply(ok ? sornOk : "[02]");
}

int capacity(const SimEngine& e) { return isAster(e) ? kAsterBankSpan : kMaxBankSamples; }

Clock::duration unitsToDuration(long long units) {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::microseconds(100) * units);
}

// Stores `count` samples of the capture's channel into its bank.
void fillBank(SimEngine& e, const Capture& c, int count) {
  Bank& b = e.memory().banks[c.bank];
  b = Bank{};
  b.intervalUnits = c.intervalUnits;
  if (c.channel >= 1 && c.channel <= 3) b.sensorIds[c.channel - 1] = e.settings().sensorIds[c.channel - 1];
  for (int i = 0; i < count; ++i) b.samples.push_back(toRaw(e.valueAt(i, c.channel - 1)));
}

// The line a bank's directory gives, which also ends a capture.
std::string describe(const SimEngine& e, int index) {
  const Bank& b = e.memory().banks[index];
  return isAster(e) ? asterInfoLine(b) : sornDirectoryLine(b, index + 1);
}

void startCapture(SimEngine& e, Clock::time_point now) {
  BankMemory& m = e.memory();
  int bank = m.current;
  if (isAster(e)) {
    auto free = std::find_if(m.banks.begin(), m.banks.end(), [](const Bank& b) { return !b.used(); });
    bank = free == m.banks.end() ? -1 : static_cast<int>(free - m.banks.begin());
  }
  if (e.settings().refuseCapture || m.capture || bank < 0) {
    accepted(e, false);
    return;
  }
  Capture c;
  c.bank = bank;
  c.channel = m.channel;
  c.intervalUnits = m.intervalUnits;
  c.start = now;
  int samples = std::clamp(e.settings().captureSamples, 0, capacity(e));
  c.timer = e.schedule(now + unitsToDuration(static_cast<long long>(samples) * c.intervalUnits),
                       [samples](SimEngine& e, Clock::time_point) {
                         if (!e.memory().capture) return;
                         Capture done = *e.memory().capture;
                         e.memory().capture.reset();
                         fillBank(e, done, samples);
                         e.reply(describe(e, done.bank));
                       });
  m.capture = c;
  accepted(e, true, "[01]");
}

void stopCapture(SimEngine& e, Clock::time_point now) {
  BankMemory& m = e.memory();
  if (m.capture) {
    Capture c = *m.capture;
    m.capture.reset();
    e.cancel(c.timer);
    long long taken = (now - c.start) / unitsToDuration(std::max(c.intervalUnits, 1));
    int limit = std::clamp(e.settings().captureSamples, 0, capacity(e));
    fillBank(e, c, static_cast<int>(std::clamp<long long>(taken, 0, limit)));
  }
  e.reply(isAster(e) ? "{0}" : "[00]");
}

int intArg(const Command& c, std::size_t i, int fallback = -1) {
  int v = 0;
  return parseInt(c.arg(i), v) ? v : fallback;
}

}  // namespace

void installMemoryCommands(SimEngine& engine) {
  engine.setHandler(82, [](SimEngine& e, const Command& c, Clock::time_point) {
    if (!hasMemory(e)) return;
    int ch = intArg(c, 0), n = intArg(c, 1);
    // The memory records channels A to C only.
    bool ok = ch >= 1 && ch <= 3 && n >= 1 && n <= 600000 && !e.memory().capture;
    if (ok) {
      e.memory().channel = ch;
      e.memory().intervalUnits = n;
    }
    accepted(e, ok);
  });
  engine.setHandler(80, "1", [](SimEngine& e, const Command&, Clock::time_point now) {
    if (hasMemory(e)) startCapture(e, now);
  });
  engine.setHandler(83, [](SimEngine& e, const Command&, Clock::time_point now) {
    if (isAster(e)) startCapture(e, now);
  });
  engine.setHandler(80, "0", [](SimEngine& e, const Command&, Clock::time_point now) {
    if (hasMemory(e)) stopCapture(e, now);
  });
  // Directory.
  engine.setHandler(80, "3", [](SimEngine& e, const Command&, Clock::time_point) {
    if (isSornQor(e)) e.reply(describe(e, std::clamp(e.memory().current, 0, kBankCount - 1)));
  });
  engine.setHandler(80, "10", [](SimEngine& e, const Command&, Clock::time_point) {
    if (isAster(e)) e.reply(asterFlagList(e.memory()));
  });
  engine.setHandler(80, "11", [](SimEngine& e, const Command& c, Clock::time_point) {
    int k = intArg(c, 1);
    if (isAster(e) && k >= 1 && k <= kBankCount) e.reply(describe(e, k - 1));
  });
  // Downloads: past the data a block holds no values, which ends the host's loop.
  engine.setHandler(80, "4", [](SimEngine& e, const Command& c, Clock::time_point) {
    int block = intArg(c, 1);
    if (!isSornQor(e) || block < 0) return;
    const Bank& b = e.memory().banks[std::clamp(e.memory().current, 0, kBankCount - 1)];
    auto raw = sornBlockSamples(b, block);
    e.sendDataBlock([raw](bool wrong) { return sornBlock(raw, wrong); });
  });
  engine.setHandler(80, "12", [](SimEngine& e, const Command& c, Clock::time_point) {
    int address = intArg(c, 1), count = intArg(c, 2);
    if (!isAster(e) || address < 0 || count < 0) return;
    auto raw = asterBlockSamples(e.memory(), address, count);
    e.sendDataBlock([raw](bool wrong) { return asterBlock(raw, wrong); });
  });
  // Erase (Aster).
  engine.setHandler(80, "13", [](SimEngine& e, const Command&, Clock::time_point) {
    if (!isAster(e)) return;
    for (Bank& b : e.memory().banks) b = Bank{};
    e.reply("{1}");
  });
  engine.setHandler(80, "14", [](SimEngine& e, const Command& c, Clock::time_point) {
    if (!isAster(e)) return;
    int k = intArg(c, 1);
    bool ok = k >= 1 && k <= kBankCount;
    if (ok) e.memory().banks[k - 1] = Bank{};
    e.reply(ok ? "{1}" : "{0}");
  });
}

}  // namespace pel::sim
