#pragma once
#include <functional>
#include <string>
#include <vector>

#include "devicelink/records/StreamContext.h"

// Collects records; optionally ends the run from inside a delivery, as a
// DataReceived handler calling Pelmora(false) would.
struct FakeSink : pel::records::RecordSink {
  std::vector<std::string> records;
  int autoStops = 0;
  int stopAfter = -1;  // refuse (run ended) once this many records arrived
  bool DeliverRecord(const std::string& r) override {
    records.push_back(r);
    return stopAfter < 0 || static_cast<int>(records.size()) < stopAfter;
  }
  void AutoStop() override { ++autoStops; }
};

// "{" + fields right-aligned in width, blank-separated + "}" + CR.
inline std::string PaddedFrame(const std::vector<std::string>& fields, size_t width) {
  std::string body;
  for (const auto& f : fields) body += std::string(width > f.size() ? width - f.size() : 0, ' ') + f;
  return "{" + body + "}\r";
}
