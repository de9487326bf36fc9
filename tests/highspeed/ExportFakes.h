#pragma once
// Registry texts and user answers for export tests.

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "highspeed/export/ExportSource.h"
#include "highspeed/export/ExportUi.h"

namespace quillon::test {

class FakeTexts : public ExportTexts {
 public:
  std::map<std::string, std::string> runExperiment{{"Message1", "Time(s)"}, {"Message2", "No."}, {"Message3", "Title"}};
  std::map<int, std::string> units{{3, "V"}, {5, "mV"}, {7, "N"}};

  std::string RunExperimentText(const std::string& name) const override { return Find(runExperiment, name); }
  std::string UnitText(std::int32_t id) const override { return Find(units, id); }
  std::string MessageText(const std::string& key) const override { return "<" + key + ">"; }
  std::string MainProcessText(const std::string& key) const override { return "<" + key + ">"; }

 private:
  template <class M, class K>
  static std::string Find(const M& m, const K& k) {
    auto it = m.find(k);
    return it == m.end() ? std::string() : it->second;
  }
};

class FakeUi : public ExportUi {
 public:
  std::deque<std::optional<std::string>> saveAnswers;
  int saveAsked = 0;
  std::vector<std::string> messages;

  std::optional<std::string> AskSavePath() override {
    ++saveAsked;
    if (saveAnswers.empty()) return std::nullopt;
    auto a = saveAnswers.front();
    saveAnswers.pop_front();
    return a;
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

// A snapshot with the given rows (A, B, C per row).
inline ExportSource MakeSource(std::vector<std::vector<float>> rows, std::int32_t a, std::int32_t b,
                               std::int32_t c) {
  ExportSource s;
  for (const auto& r : rows) {
    s.columnA.push_back(r[0]);
    s.columnB.push_back(r[1]);
    s.columnC.push_back(r[2]);
  }
  s.sensorId[0] = a;
  s.sensorId[1] = b;
  s.sensorId[2] = c;
  return s;
}

}  // namespace quillon::test
