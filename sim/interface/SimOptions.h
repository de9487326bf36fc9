#pragma once
// Command line of the PelmoraSim console program.
#include <optional>
#include <string>
#include <vector>

#include "sim/interface/Faults.h"
#include "sim/interface/SimSettings.h"

namespace pel::sim {

struct SimOptions {
  bool help = false;
  int comPort = 0;          // --com N; 0 for TCP
  int tcpPort = 4000;       // --tcp [PORT]
  Model model = Model::Qor;
  InterfaceSettings settings = InterfaceSettings::forModel(Model::Qor);
  Faults faults;
  bool quiet = false;       // do not echo received commands
};

// Parses the arguments after the program name; throws std::invalid_argument
// with a message naming the bad option.
SimOptions parseSimOptions(const std::vector<std::string>& args);
const char* simUsage();

}  // namespace pel::sim
