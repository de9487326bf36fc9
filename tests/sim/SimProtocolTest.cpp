// Command lines, frame composition and delivery cutting of the simulator.
#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

#include "sim/interface/Command.h"
#include "sim/interface/Faults.h"
#include "sim/interface/NormalFrame.h"

namespace pel::sim {
namespace {

TEST(SimCommand, ParsesTheCommandFormAndRejectsTheRest) {
  struct Case {
    const char* line;
    bool valid;
    int code;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"s{10,3}", true, 10, {"3"}},
      {"s{10,R}", true, 10, {"R"}},
      {"s{20}", true, 20, {}},
      {"s{12,0.200}", true, 12, {"0.200"}},
      {"s{14,1,  50,  40,  99}", true, 14, {"1", "  50", "  40", "  99"}},
      {"s{80,4,}", true, 80, {"4", ""}},
      {"", false, -1, {}},
      {"s{10,3", false, -1, {}},
      {"S{10,3}", false, -1, {}},
      {"s{}", false, -1, {}},
      {"s{x,1}", false, -1, {}},
      {"s{-1}", false, -1, {}},
      {"garbage", false, -1, {}},
  };
  for (const Case& c : cases) {
    Command cmd = parseCommand(c.line);
    EXPECT_EQ(cmd.valid, c.valid) << c.line;
    EXPECT_EQ(cmd.code, c.code) << c.line;
    EXPECT_EQ(cmd.args, c.args) << c.line;
    EXPECT_EQ(cmd.text, c.line);
  }
  EXPECT_TRUE(parseCommand("").wake());
}

TEST(SimCommand, NumbersUseThePointWhateverTheirForm) {
  double v = 0;
  EXPECT_TRUE(parseNumber("0.010", v));
  EXPECT_DOUBLE_EQ(v, 0.01);
  EXPECT_TRUE(parseNumber("00.200", v));
  EXPECT_DOUBLE_EQ(v, 0.2);
  EXPECT_FALSE(parseNumber("0,2", v));
  EXPECT_FALSE(parseNumber("", v));
  EXPECT_FALSE(parseNumber(" 1", v));
}

std::vector<double> valuesOf(const std::string& frame) {
  std::vector<double> out;
  std::string body = frame.substr(1, frame.size() - 2);
  std::size_t i = 0;
  while (i < body.size()) {
    while (i < body.size() && body[i] == ' ') ++i;
    std::size_t j = body.find(' ', i);
    if (j == std::string::npos) j = body.size();
    if (j > i) {
      double v = 0;
      auto r = std::from_chars(body.data() + i, body.data() + j, v);
      EXPECT_EQ(r.ptr, body.data() + j) << frame;
      out.push_back(v);
    }
    i = j;
  }
  return out;
}

TEST(SimNormalFrame, KeepsItsLengthWhateverTheValues) {
  struct Case {
    int length;
    std::vector<double> values;
  };
  const Case cases[] = {
      {39, {1.2, 0, 3.3, 4.4}},
      {39, {-12.125, 999.5, 0.001, -0.5}},
      {51, {1.234567, 2, 3, 4}},
      {99, {1, 2, 3, 4, 5, 6, 7, 8}},
      {99, {-1e-7, 1e3, 0, 5.5, 6, 7, 8, 9}},
      {40, {1, 2, 3}},  // a share that does not divide evenly
  };
  for (const Case& c : cases) {
    std::string f = composeNormalFrame(c.length, c.values, false);
    ASSERT_EQ(static_cast<int>(f.size()), c.length - 1) << f;
    EXPECT_EQ(f.front(), '{');
    EXPECT_EQ(f.back(), '}');
    EXPECT_EQ(f[1], ' ') << "the body starts with a blank: " << f;
    auto back = valuesOf(f);
    ASSERT_EQ(back.size(), c.values.size()) << f;
    for (std::size_t k = 0; k < back.size(); ++k) EXPECT_NEAR(back[k], c.values[k], 1e-3) << f;
  }
}

TEST(SimNormalFrame, ClipsValuesTooWideAndHandlesDegenerateLengths) {
  std::string f = composeNormalFrame(39, std::vector<double>{1e12, -1e12, 1, 2}, false);
  EXPECT_EQ(f.size(), 38u);
  auto back = valuesOf(f);
  ASSERT_EQ(back.size(), 4u);
  EXPECT_DOUBLE_EQ(back[0], 99999999);
  EXPECT_DOUBLE_EQ(back[1], -9999999);
  EXPECT_EQ(composeNormalFrame(39, std::vector<double>{1, 2, 3, 4}, true).front(), '[');
  EXPECT_EQ(composeNormalFrame(2, std::vector<double>{1}, false), "{}");
  EXPECT_EQ(composeNormalFrame(6, std::vector<double>{1, 2, 3, 4}, false).size(), 5u);
}

TEST(SimNormalFrame, ResizesForWrongLengths) {
  std::string f = composeNormalFrame(39, std::vector<double>{1, 2, 3, 4}, false);
  EXPECT_EQ(resizeFrame(f, 0), f);
  EXPECT_EQ(resizeFrame(f, 3).size(), f.size() + 3);
  EXPECT_EQ(resizeFrame(f, -1).size(), f.size() - 1);
  EXPECT_EQ(resizeFrame(f, -1).back(), '}');
  EXPECT_EQ(resizeFrame(f, -100), "{}");
}

TEST(SimDelivery, PiecesJoinToTheBytesInTheAskedSizes) {
  const std::string bytes = "{Pelmora QOR03 ready}\r\n{ 1.000 2.000}\r\n";
  PieceCutter cutter(7);
  auto whole = cutter.cut(bytes, Delivery::Whole);
  ASSERT_EQ(whole.size(), 1u);
  EXPECT_EQ(whole[0], bytes);
  auto single = cutter.cut(bytes, Delivery::ByteByByte);
  EXPECT_EQ(single.size(), bytes.size());
  auto pieces = cutter.cut(bytes, Delivery::RandomPieces);
  std::string joined;
  bool someLonger = false;
  for (const auto& p : pieces) {
    EXPECT_GE(p.size(), 1u);
    EXPECT_LE(p.size(), 8u);
    someLonger = someLonger || p.size() > 1;
    joined += p;
  }
  EXPECT_EQ(joined, bytes);
  EXPECT_TRUE(someLonger);
  EXPECT_TRUE(cutter.cut("", Delivery::ByteByByte).empty());
  // The same seed cuts the same way.
  PieceCutter again(7);
  EXPECT_EQ(again.cut(bytes, Delivery::RandomPieces), pieces);
}

TEST(SimDelivery, NoiseHoldsNoFrameCharacter) {
  std::minstd_rand rng(3);
  for (int i = 0; i < 50; ++i) {
    std::string n = noiseLine(rng, 40);
    EXPECT_EQ(n.size(), 40u);
    EXPECT_EQ(n.find_first_of("{}[]\r\n"), std::string::npos) << n;
  }
}

}  // namespace
}  // namespace pel::sim
