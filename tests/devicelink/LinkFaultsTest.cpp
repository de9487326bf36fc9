// A misbehaving link over in-process fakes: a user-set port that is missing
// for a moment, a TCP connection that goes away.
#include <gtest/gtest.h>

#include "devicelink/Pelmora.h"
#include "FakeLink.h"

namespace {

class LinkFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p = TPelmora::Create(nullptr, LinkFlavour::Studio(), rig.Env());
    p->PelmoraError([this](TPelmora&, int n) { errors.push_back(n); });
    p->StopExperiment([this](TPelmora&) { ++stops; });
    p->Hooks().autoSensorId = nullptr;
  }
  static std::string Answer(const std::string& identify, const std::string& cmd) {
    if (cmd == "s{10,3}") return identify + "\r\n";
    if (cmd == "s{16,0}") return "{1}\r\n";
    if (cmd == "s{10,R}") return "{P-100}\r\n";
    if (cmd == "s{10,4}") return "{2.1}\r\n";
    return {};
  }
  fake::Rig rig;
  std::shared_ptr<TPelmora> p;
  std::vector<int> errors;
  int stops = 0;
};

TEST_F(LinkFaultsTest, UserSetPortMissingForOneConnectIsKeptForTheNext) {
  rig.serial->listed = {"COM5"};
  p->VCPort(5);
  ASSERT_EQ(p->VCPort(), 5);
  p->AutoDetect(false);
  rig.serial->listed.clear();  // unplugged for a moment
  EXPECT_EQ(p->InitializeComm(), 1);
  EXPECT_EQ(p->VCPort(), 5);

  rig.serial->listed = {"COM5"};
  rig.serial->answering["COM5"] = [](const std::string& cmd) { return Answer("{Pelmora SORN II}", cmd); };
  errors.clear();
  EXPECT_EQ(p->InitializeComm(), 0);
  EXPECT_EQ(p->PelmoraType(), "Sorn II");
  EXPECT_EQ(rig.serial->port, "COM5");
  EXPECT_EQ(p->VCPort(), 5);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
