#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devicelink/LinkFraming.h"
#include "devicelink/LinkModel.h"
#include "devicelink/ReceiveState.h"

namespace {
using namespace pel::link;

struct FrameCase {
  std::string buffer;
  std::string frame;
  std::string rest;
  int length;  // -1: unchanged
};

TEST(TakeFrame, FrameModeCutsFromBraceToCarriageReturn) {
  const std::vector<FrameCase> cases = {
      {"abc{1 2}\r\n{3", "{1 2}\r", "{3", 6},
      {"{1 {2 3}\r\n", "{2 3}\r", "", 6},
      // No line end yet: the frame waits for it instead of losing its CR.
      {"{1 2}{3 4}", "", "{1 2}{3 4}", -1},
      {"{1 2}", "", "{1 2}", -1},
      {"{1 2}\r", "", "{1 2}\r", -1},
      {"no frame\r\n", "", "no frame\r\n", -1},
      {"\r\n{7}\r\nrest", "{7}\r", "rest", 4},
  };
  for (const auto& c : cases) {
    std::string buf = c.buffer;
    int len = -1;
    EXPECT_EQ(TakeFrame(buf, true, len), c.frame) << c.buffer;
    EXPECT_EQ(buf, c.rest) << c.buffer;
    EXPECT_EQ(len, c.length) << c.buffer;
  }
}

TEST(TakeFrame, SplitBetweenBraceAndLineEndKeepsTheDispatchLength) {
  // A 50-character line: taken whole only with its CR, so its length is 51.
  const std::string line = "{" + std::string(48, '1') + "}";
  std::string buf = line;
  int len = 0;
  EXPECT_EQ(TakeFrame(buf, true, len), "");
  buf += "\r\n";
  EXPECT_EQ(TakeFrame(buf, true, len), line + "\r");
  EXPECT_EQ(len, 51);
  EXPECT_EQ(buf, "");
}

TEST(TakeFrame, FrameModeOffHandsOutEverything) {
  std::string buf = "x{1}\r\ny";
  int len = 9;
  EXPECT_EQ(TakeFrame(buf, false, len), "x{1}\r\ny");
  EXPECT_EQ(buf, "");
  EXPECT_EQ(len, 0);
}

TEST(LinkText, BracketsMapAndFramesAreSeen) {
  std::string buf = "[02]\r\n";
  MapBrackets(buf);
  int len = 0;
  EXPECT_TRUE(HoldsFrame(buf));
  EXPECT_EQ(TakeFrame(buf, true, len), "{02}\r");
  EXPECT_FALSE(HoldsFrame("}{"));
  EXPECT_TRUE(ReplyComplete("}{"));
  EXPECT_FALSE(ReplyComplete("{ only"));
}

TEST(ReplyBody, Table) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"OK{ 1.5 2.5}\r\n", " 1.5 2.5"}, {"{7}", "7"}, {"{7", ""}, {"", ""}, {"}x{", ""},
      {"{a}{ b}", " b"}, {"{}", ""}, {"no frame", ""}, {"{12,0,5,0}\r\n", "12,0,5,0"}, {"}{1,2}", "1,2"},
  };
  for (const auto& [reply, body] : cases) EXPECT_EQ(ReplyBody(reply), body) << reply;
}

TEST(SplitFields, Table) {
  using V = std::vector<std::string>;
  const std::vector<std::pair<std::string, V>> cases = {
      {" 1.5  2.5", {"1.5", "2.5"}}, {"1 2  ", {"1", "2", ""}}, {"1 2 ", {"1", "2"}},
      {"   ", {""}}, {"", {}}, {"a", {"a"}}, {" a", {"a"}},
  };
  for (const auto& [text, fields] : cases) {
    V got;
    SplitFields(text, ' ', got);
    EXPECT_EQ(got, fields) << '"' << text << '"';
  }
  V ports;
  SplitFields(std::string("COM1\0COM10\0", 11), '\0', ports);
  EXPECT_EQ(ports, (V{"COM1", "COM10"}));
  // The comma lists of ID replies and registry classes, through the list form.
  const std::vector<std::pair<std::string, V>> lists = {
      {"31,32,33", {"31", "32", "33"}}, {"3,,12", {"3", "12"}}, {"1,0,,1", {"1", "0", "1"}},
      {"a,", {"a"}}, {",", {""}}, {",,,", {""}}, {"", {}},
  };
  for (const auto& [text, fields] : lists) EXPECT_EQ(SplitFields(text, ','), fields) << '"' << text << '"';
}

TEST(NextField, AdvancesThePosition) {
  std::string f;
  std::size_t pos = 1;
  NextField(" 12 3", ' ', f, pos);
  EXPECT_EQ(f, "12");
  EXPECT_EQ(pos, 5u);
  NextField(" 12 3", ' ', f, pos);
  EXPECT_EQ(f, "3");
  EXPECT_EQ(pos, 7u);
  NextField(" 12 3", ' ', f, pos);
  EXPECT_EQ(f, "");
  EXPECT_EQ(pos, 7u);
}

TEST(DetectModel, Table) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"{Pelmora SORN II}", 0}, {"{Pelmora Aster}", 1}, {"{Pelmora vaxo}", 2}, {"Pelmora QOR03 ready", 7},
      {"{Pelmora QOR}", 4},     {"Pelmora qor", 4},     {"pelmora qor", -1},  {"Pelmora X", 9},
      {"", -1},                 {"{SORN}", -1},         {"Pelmora qor03", 7},
  };
  for (const auto& [reply, state] : cases) EXPECT_EQ(DetectModel(reply), state) << reply;
}

TEST(LinkModel, NamesRecordLimitsAndPortList) {
  const std::vector<std::pair<int, std::string>> names = {{0, "Sorn II"}, {1, "Aster"}, {2, "Vaxo"},
                                                          {3, "USB"},     {4, "Qor"},   {5, "Tolemic"},
                                                          {7, "Qor-3"},   {-1, "none"}, {9, "none"}};
  for (const auto& [s, n] : names) EXPECT_EQ(ModelName(s), n);
  for (int s : {0, 1, 2, 3, 4}) EXPECT_EQ(MaxRecordCountFor(s, 123), 50000);
  for (int s : {5, 7}) EXPECT_EQ(MaxRecordCountFor(s, 123), 5000);
  for (int s : {-1, 9}) EXPECT_EQ(MaxRecordCountFor(s, 123), 123);
  const std::string list("COM1\0COM4\0", 10);
  EXPECT_FALSE(PortListed(list, 3));
  EXPECT_TRUE(PortListed(list, 4));
  EXPECT_TRUE(PortListed(std::string("COM10\0", 6), 1));
}

TEST(ChooseDispatch, LengthsPerModeModelAndFlavour) {
  struct Case {
    int mode, model, length;
    bool fastQor;
    Dispatch want;
  };
  const std::vector<Case> cases = {
      {1, 0, 39, false, Dispatch::Analog},     {1, 4, 51, false, Dispatch::Analog},
      {1, 5, 99, false, Dispatch::Analog},     {1, 0, 50, false, Dispatch::Drop},
      {1, 0, 52, false, Dispatch::Drop},       {2, 5, 51, false, Dispatch::Analog},
      {2, 7, 40, false, Dispatch::FastBlock},  {2, 7, 39, false, Dispatch::Drop},
      {2, 5, 200, false, Dispatch::FastBlock}, {2, 4, 75, false, Dispatch::FastSingle},
      {2, 4, 60, false, Dispatch::Drop},       {2, 4, 60, true, Dispatch::FastBlock},
      {2, 4, 51, true, Dispatch::Analog},      {2, 0, 75, true, Dispatch::FastSingle},
      {2, 0, 51, false, Dispatch::Drop},       {3, 0, 5, false, Dispatch::Timing},
      {8, 4, 1, false, Dispatch::EndOfCapture}, {0, 0, 51, false, Dispatch::DrainInput},
      {6, 0, 51, false, Dispatch::DrainInput},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChooseDispatch(c.mode, c.model, c.length, c.fastQor), c.want)
        << c.mode << " " << c.model << " " << c.length << " " << c.fastQor;
}

TEST(ReceiveState, RawBufferNeverOverrunsAndCountsWhatItDrops) {
  ReceiveState rx;
  std::vector<std::uint8_t> bytes(1000, 0xAB);
  rx.appendRaw(bytes.data(), bytes.size());
  EXPECT_EQ(rx.rawCount, 1000u);
  rx.appendRaw(bytes.data(), 100);
  EXPECT_EQ(rx.rawCount, ReceiveState::kRawSize);
  EXPECT_EQ(rx.rawDropped, 76u);
  rx.appendRaw(bytes.data(), 5);
  EXPECT_EQ(rx.rawCount, ReceiveState::kRawSize);
  EXPECT_EQ(rx.rawDropped, 81u);
  rx.appendText("abc");
  EXPECT_EQ(rx.lastFrameLength, 3);
  rx.appendText(std::string(ReceiveState::kMaxText, 'x'));
  EXPECT_EQ(rx.buffer.size(), ReceiveState::kMaxText);
  EXPECT_EQ(rx.textDropped, 3u);
}

}  // namespace
