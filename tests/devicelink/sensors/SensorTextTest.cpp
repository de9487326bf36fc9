// Number parsing and the name/unit/class-list text rules.
#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>
#include <vector>

#include "devicelink/sensors/SensorRegistry.h"
#include "devicelink/sensors/TextNumbers.h"

namespace {
using namespace pel::sensors;

TEST(TextNumbers, DecimalIntegers) {
  struct Case {
    const char* text;
    std::optional<int> want;
  } cases[] = {
      {"12", 12},          {"  12", 12},       {"-3", -3},          {"+7", 7},
      {"0", 0},            {"", std::nullopt}, {"   ", std::nullopt}, {"12 ", std::nullopt},
      {"1a", std::nullopt}, {"a", std::nullopt}, {"1.5", std::nullopt}, {"+-1", std::nullopt},
      {"2147483647", 2147483647}, {"2147483648", std::nullopt}, {"-2147483648", -2147483647 - 1},
      {"99999999999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(parseDecimalInt(c.text), c.want) << '"' << c.text << '"';
  EXPECT_EQ(parseDecimalInt(std::string(100, '1')), std::nullopt);
}

TEST(TextNumbers, PointNumbersWhateverTheLocale) {
  // A comma-decimal locale must not change what the registry's texts mean.
  const bool haveCommaLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  struct Case {
    const char* text;
    std::optional<double> want;
  } cases[] = {
      {"0.001", 0.001}, {" 0.05 ", 0.05}, {"1e-6", 1e-6}, {"2", 2.0},   {"-0.5", -0.5},
      {"0,001", std::nullopt}, {"", std::nullopt}, {"abc", std::nullopt}, {"1.2.3", std::nullopt},
      {"inf", std::nullopt},   {"nan", std::nullopt}, {"1e999", std::nullopt}, {"0x10", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(parsePointNumber(c.text), c.want) << '"' << c.text << '"';
  if (haveCommaLocale) std::setlocale(LC_ALL, "C");
}

TEST(SensorTexts, NameBeforeTheParenthesis) {
  EXPECT_EQ(shortSensorName("Light(0-600 lx)", false), "Light");
  EXPECT_EQ(shortSensorName("Light (0-600 lx)", false), "Light ");
  EXPECT_EQ(shortSensorName("Light(0-600 lx)", true), "Light(0-600 lx)");
  EXPECT_EQ(shortSensorName("Temperature", false), "Temperature");
  EXPECT_EQ(shortSensorName("", false), "");
}

TEST(SensorTexts, UnitInsideTheParentheses) {
  struct Case {
    const char* stored;
    bool full, name;
    const char* want;
  } cases[] = {
      {"Pressure(kPa)", false, false, "kPa"},   {"Pressure(kPa)", false, true, "Pressure"},
      {"Pressure(kPa)", true, false, "Pressure(kPa)"}, {"Pressure(kPa)", true, true, "Pressure(kPa)"},
      {"kPa", false, false, "kPa"},             {"kPa", false, true, "kPa"},
      {"Pressure(kPa", false, false, "Pressure(kPa"}, {"Pressure(kPa", false, true, "Pressure(kPa"},
      {")x(", false, false, ")x("},             {"a()b", false, false, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(sensorUnitPart(c.stored, c.full, c.name), c.want) << c.stored << ' ' << c.full << c.name;
}

TEST(SensorTexts, ClassListItemsThatAreNotNumbersMatchNothing) {
  struct Case {
    const char* list;
    int id;
    bool want;
  } cases[] = {
      {"3,12,a", 12, true}, {"3,12,a", 7, false}, {"12,a", 7, false}, {"a,12", 12, true},
      {"3,,12", 12, true},  {"3,,12", 0, false},  {" 3 , 12 ", 12, true}, {"3, ,12", 12, true},
      {"3,12,", 12, true},  {"3,12,", 0, false},  {",,", 0, false},   {"", 0, false},
      {"   ", 0, false},    {"-5,4", -5, true},   {"12x", 12, false}, {"1 2", 1, false},
  };
  for (const auto& c : cases) EXPECT_EQ(classListHolds(c.list, c.id), c.want) << '"' << c.list << "\" " << c.id;
}

}  // namespace
