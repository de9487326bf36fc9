#pragma once
// A command line as the interface receives it: "s{code,arg,...}" (the line
// end already cut off), or an empty line, which the host sends to wake the
// interface.
#include <string>
#include <string_view>
#include <vector>

namespace pel::sim {

struct Command {
  std::string text;               // the line as received
  bool valid = false;             // the line has the command form
  int code = -1;                  // the command code
  std::vector<std::string> args;  // the arguments after the code, as written
  bool wake() const { return text.empty(); }
  // The argument at index i, or empty when there are fewer.
  std::string arg(std::size_t i) const { return i < args.size() ? args[i] : std::string(); }
};

// Parses one line; a line that is not of the command form gives valid false.
Command parseCommand(std::string_view line);

// Reads a decimal number with "." as separator, whatever the locale;
// false when the text is not wholly a number.
bool parseNumber(std::string_view text, double& out);
bool parseInt(std::string_view text, int& out);

}  // namespace pel::sim
