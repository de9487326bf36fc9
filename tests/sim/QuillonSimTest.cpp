// The high-speed dialect as the simulated interface takes it: commands only,
// with everything else between them rejected unanswered and logged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/quillon/QuillonSim.h"

namespace quillon::sim {
namespace {

using Texts = std::vector<std::string>;

TEST(QuillonSimDialect, TakesCommandsAndRejectsAnythingElse) {
  struct Case {
    const char* name;
    std::string sent;
    Texts commands;
    Texts rejected;
  };
  const Case cases[] = {
      {"two commands back to back", "S{10,3}S{80,10}", {"S{10,3}", "S{80,10}"}, {}},
      {"a line end after a command", "S{10,3}\r\n", {"S{10,3}"}, {"\r\n"}},
      {"a trailing byte between commands", "S{80,10}xS{80,11,1}", {"S{80,10}", "S{80,11,1}"}, {"x"}},
      {"bytes before the first command", "\x01zS{10,3}", {"S{10,3}"}, {"\x01z"}},
      {"a lower-case s", "s{10,3}", {}, {"s{10,3}"}},
      {"no brace after S", "S10,3}", {}, {"S1", "0,3}"}},
      {"a blank inside", "S{80, 1}", {}, {"S{80, 1}"}},
      {"a leading zero", "S{80,01}", {}, {"S{80,01}"}},
      {"an empty number", "S{80,,1}", {}, {"S{80,,1}"}},
      {"an empty command", "S{}", {}, {"S{}"}},
      {"zero is a number", "S{80,0}", {"S{80,0}"}, {}},
      {"a command cut short", "S{80,1", {}, {}},  // still open: neither taken nor rejected yet
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QuillonSim sim;
    sim.Feed(c.sent);
    EXPECT_EQ(sim.Commands(), c.commands);
    EXPECT_EQ(sim.Rejected(), c.rejected);
  }
}

TEST(QuillonSimDialect, ARejectedTextIsNotAnswered) {
  QuillonSim sim;
  sim.Feed("S{10,3}\r");
  const std::string reply = sim.TakeOutput();
  EXPECT_FALSE(reply.empty()) << "the command itself is answered";
  sim.Feed("S{10, 3}");
  EXPECT_EQ(sim.TakeOutput(), "");
  EXPECT_EQ(sim.Rejected(), (Texts{"\r", "S{10, 3}"}));
}

TEST(QuillonSimDialect, AnOverlongCommandIsRejected) {
  QuillonSim sim;
  const std::string longOne = "S{" + std::string(80, '1') + "}";
  sim.Feed(longOne + "S{10,3}");
  EXPECT_EQ(sim.Commands(), Texts{"S{10,3}"});
  ASSERT_EQ(sim.Rejected().size(), 2u);  // the first 65 bytes, then the rest up to the next command
  EXPECT_EQ(sim.Rejected()[0] + sim.Rejected()[1], longOne);
}

}  // namespace
}  // namespace quillon::sim
