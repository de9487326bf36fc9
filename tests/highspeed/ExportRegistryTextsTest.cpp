#include "highspeed/export/ExportRegistryTexts.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillon {
namespace {

TEST(RegistryExportTexts, ReadsTheExportKeysForTheLanguage) {
  std::vector<std::string> reads;
  RegistryExportTexts texts(
      1042,
      [&](const std::string& key, const std::string& value) {
        reads.push_back(key + "|" + value);
        return value == "Unit12" ? std::string("m/s") : std::string();
      },
      [&](unsigned lang, const std::string& key, int section) {
        return std::to_string(lang) + "/" + std::to_string(section) + "/" + key;
      });
  EXPECT_EQ(texts.RunExperimentText("Message3"), "");
  EXPECT_EQ(texts.UnitText(12), "m/s");
  EXPECT_EQ(reads, (std::vector<std::string>{
                       "Software\\VB and VBA Program Settings\\Pelmora\\Message\\1042\\RunExperimentDialog|Message3",
                       "Software\\VB and VBA Program Settings\\Pelmora\\Message\\1042\\SensorInfo|Unit12"}));
  EXPECT_EQ(texts.MessageText("QuillonDlg12"), "1042/3/QuillonDlg12");
  EXPECT_EQ(texts.MainProcessText("ListMode1"), "1042/2/ListMode1");
}

TEST(RegistryExportTexts, MissingReadersGiveEmptyTexts) {
  RegistryExportTexts texts(1033, nullptr, nullptr);
  EXPECT_EQ(texts.UnitText(3), "");
  EXPECT_EQ(texts.MessageText("QuillonDlg11"), "");
}

}  // namespace
}  // namespace quillon
