#include "sim/interface/SimSettings.h"

namespace pel::sim {

std::string identifyReplyFor(Model m) {
  switch (m) {
    case Model::SornII: return "{Pelmora SORN II}";
    case Model::Aster: return "{Pelmora ASTER}";
    case Model::Vaxo: return "{Pelmora VAXO}";
    case Model::Qor: return "{Pelmora QOR}";
    case Model::Qor3: return "{Pelmora QOR03 ready}";
    case Model::Unnamed: return "{Pelmora X}";
  }
  return {};
}

std::optional<Model> modelFromName(const std::string& name) {
  if (name == "sorn") return Model::SornII;
  if (name == "aster") return Model::Aster;
  if (name == "vaxo") return Model::Vaxo;
  if (name == "qor") return Model::Qor;
  if (name == "qor03") return Model::Qor3;
  if (name == "unnamed") return Model::Unnamed;
  return std::nullopt;
}

double defaultValue(std::int64_t sample, int channel) {
  return channel + 1 + static_cast<double>(sample % 10) / 10.0;
}

bool defaultGate(std::int64_t tick, int) {
  std::int64_t t = tick % 100;
  return t >= 40 && t < 60;
}

InterfaceSettings InterfaceSettings::forModel(Model m) {
  InterfaceSettings s;
  s.identifyReply = identifyReplyFor(m);
  s.value = defaultValue;
  s.gate = defaultGate;
  s.sensorIds = {12, 0, 0, 0, 0, 0, 0, 0};
  s.productNo = "10001";
  s.versionNo = "1.0";
  switch (m) {
    case Model::SornII:
      s.timingProbe = "{16}";
      s.productNo = "SORN-2";
      s.memory = MemoryFormat::SornQor;
      s.versionNo = "2.1";
      break;
    case Model::Aster:
    case Model::Vaxo:
      s.timingProbe = "{16}";
      s.scopeProbe = "{11}";
      s.productNo = m == Model::Aster ? "ASTER-1" : "VAXO-1";
      s.memory = m == Model::Aster ? MemoryFormat::Aster : MemoryFormat::None;
      s.scopeRuns = true;
      s.versionNo = "3.0";
      break;
    case Model::Qor:
      s.timingProbe = "{16}";
      s.scopeProbe = "{11}";
      s.eightPortProbe = "{11}";
      s.productNo = "QOR-1";
      s.memory = MemoryFormat::SornQor;
      s.scopeRuns = true;
      s.versionNo = "4.2";
      break;
    case Model::Qor3:
      s.timingProbe = "{16}";
      s.scopeProbe = "{11}";
      s.eightPortProbe = "{11}";
      s.productNo = "QOR-3";
      s.scopeRuns = true;
      s.versionNo = "5.0";
      s.frameLength4 = 51;
      break;
    case Model::Unnamed:
      break;
  }
  return s;
}

}  // namespace pel::sim
