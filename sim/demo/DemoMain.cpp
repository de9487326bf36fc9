// PelmoraDemo: works the programs' windows for scripts/demo.sh.
//   PelmoraDemo tessaly EXE [--press] [--shot FILE.png]
//   PelmoraDemo quillon EXE --ports HOST,SIM --csv FILE.csv [--shot FILE.png]
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/demo/DemoSteps.h"

int main(int argc, char** argv) {
  // The texts printed keep their own line ends.
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> args(argv + 1, argv + argc);
  auto option = [&](const std::string& name) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
      if (args[i] == name) return args[i + 1];
    return std::string();
  };
  auto flag = [&](const std::string& name) {
    for (const auto& a : args)
      if (a == name) return true;
    return false;
  };
  if (args.size() >= 2 && args[0] == "tessaly")
    return pel::demo::RunTessaly(args[1], flag("--press"), option("--shot"));
  if (args.size() >= 2 && args[0] == "quillon") {
    const std::string ports = option("--ports");
    const auto comma = ports.find(',');
    if (comma != std::string::npos && !option("--csv").empty())
      return pel::demo::RunQuillon(args[1], std::atoi(ports.c_str()), std::atoi(ports.c_str() + comma + 1),
                                   option("--csv"), option("--shot"));
  }
  std::fprintf(stderr,
               "usage: PelmoraDemo tessaly EXE [--press] [--shot FILE.png]\n"
               "       PelmoraDemo quillon EXE --ports HOST,SIM --csv FILE.csv [--shot FILE.png]\n");
  return 2;
}
