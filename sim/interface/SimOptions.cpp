#include "sim/interface/SimOptions.h"

#include <stdexcept>

#include "sim/interface/Command.h"

namespace pel::sim {
namespace {

int intArg(const std::string& option, const std::string& text, int low, int high) {
  int v = 0;
  if (!parseInt(text, v) || v < low || v > high)
    throw std::invalid_argument(option + ": expected a number from " + std::to_string(low) +
                                " to " + std::to_string(high) + ", got \"" + text + "\"");
  return v;
}

}  // namespace

const char* simUsage() {
  return "PelmoraSim [--tcp [PORT] | --com N] [--model sorn|aster|vaxo|qor|qor03|unnamed]\n"
         "           [--identify TEXT] [--product TEXT] [--version TEXT] [--sensors A,B,...]\n"
         "           [--no-timing] [--no-scope] [--no-8port]\n"
         "           [--delivery whole|bytes|pieces] [--silent] [--garbage N]\n"
         "           [--frame-delta N] [--close-after N] [--close-after-frames N]\n"
         "           [--wrong-check N,...]\n"
         "           [--silent-after-blocks N] [--late-block N] [--late-block-ms MS]\n"
         "           [--scope-empty-until-full] [--capture-samples N] [--refuse-capture]\n"
         "           [--quiet]\n"
         "  --close-after N / --close-after-frames N: the link closes at the N-th command\n"
         "      received, or after the N-th stream frame sent\n"
         "  --late-block N: the N-th data block is answered --late-block-ms (900) late,\n"
         "      the replies after it follow it one by one, in order\n"
         "  --scope-empty-until-full: scope reads give {00} until the buffer is sampled\n"
         "Serves the interface's command protocol on 127.0.0.1:4000 (default) or COMn\n"
         "until Ctrl+C; echoes every command received unless --quiet.\n";
}

SimOptions parseSimOptions(const std::vector<std::string>& args) {
  SimOptions o;
  // The model sets the defaults the other options then change.
  for (std::size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == "--model") {
      auto m = modelFromName(args[i + 1]);
      if (!m) throw std::invalid_argument("--model: unknown model \"" + args[i + 1] + "\"");
      o.model = *m;
    }
  o.settings = InterfaceSettings::forModel(o.model);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + ": missing value");
      return args[++i];
    };
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--tcp") {
      o.comPort = 0;
      if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0)
        o.tcpPort = intArg(a, args[++i], 1, 65535);
    } else if (a == "--com") {
      o.comPort = intArg(a, value(), 1, 255);
    } else if (a == "--model") {
      ++i;  // taken above
    } else if (a == "--identify") {
      o.settings.identifyReply = value();
    } else if (a == "--product") {
      o.settings.productNo = value();
    } else if (a == "--version") {
      o.settings.versionNo = value();
    } else if (a == "--sensors") {
      const std::string& list = value();
      o.settings.sensorIds.fill(0);
      std::size_t k = 0, start = 0;
      while (true) {
        if (k == 8) throw std::invalid_argument("--sensors: at most 8 IDs");
        std::size_t comma = list.find(',', start);
        o.settings.sensorIds[k++] =
            intArg(a, list.substr(start, comma - start), -1, 100000);
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    } else if (a == "--no-timing") {
      o.settings.timingProbe.reset();
    } else if (a == "--no-scope") {
      o.settings.scopeProbe.reset();
    } else if (a == "--no-8port") {
      o.settings.eightPortProbe.reset();
    } else if (a == "--delivery") {
      const std::string& d = value();
      if (d == "whole")
        o.faults.delivery = Delivery::Whole;
      else if (d == "bytes")
        o.faults.delivery = Delivery::ByteByByte;
      else if (d == "pieces")
        o.faults.delivery = Delivery::RandomPieces;
      else
        throw std::invalid_argument("--delivery: expected whole, bytes or pieces, got \"" + d + "\"");
    } else if (a == "--silent") {
      o.faults.silent = true;
    } else if (a == "--garbage") {
      o.faults.garbageEvery = intArg(a, value(), 0, 1000000);
    } else if (a == "--frame-delta") {
      o.faults.frameLengthDelta = intArg(a, value(), -30, 30);
    } else if (a == "--close-after") {
      o.faults.closeAfterCommands = intArg(a, value(), 0, 1000000);
    } else if (a == "--close-after-frames") {
      o.faults.closeAfterFrames = intArg(a, value(), 0, 1000000);
    } else if (a == "--wrong-check") {
      const std::string& list = value();
      std::size_t start = 0;
      while (true) {
        std::size_t comma = list.find(',', start);
        o.faults.wrongCheckBlocks.push_back(intArg(a, list.substr(start, comma - start), 1, 1000000));
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    } else if (a == "--silent-after-blocks") {
      o.faults.silentAfterBlocks = intArg(a, value(), 0, 1000000);
    } else if (a == "--late-block") {
      o.faults.lateBlock = intArg(a, value(), 0, 1000000);
    } else if (a == "--late-block-ms") {
      o.faults.lateBlockMs = intArg(a, value(), 0, 60000);
    } else if (a == "--scope-empty-until-full") {
      o.faults.scopeEmptyUntilFull = true;
    } else if (a == "--capture-samples") {
      o.settings.captureSamples = intArg(a, value(), 0, 50010);
    } else if (a == "--refuse-capture") {
      o.settings.refuseCapture = true;
    } else if (a == "--quiet") {
      o.quiet = true;
    } else {
      throw std::invalid_argument("unknown option \"" + a + "\"");
    }
  }
  return o;
}

}  // namespace pel::sim
