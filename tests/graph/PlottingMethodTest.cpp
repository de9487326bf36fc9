// The plotting-method numbers of the engine and the two enumerations.
#include <gtest/gtest.h>

#include <map>

#include "graph/PlottingMethod.h"

namespace pel::graph {
namespace {

// Engine number of each ordinal; what the engine reads back for every
// number from -3 to 30 follows from it (anything else reads as line).
const std::map<int, int> kMethod{{0, 0},   {1, 2},   {2, 4},   {3, 8},   {4, 13},  {5, 15},  {6, 16},  {7, 12},
                                 {8, 17},  {9, 3},   {10, 1},  {11, 11}, {12, 21}, {13, 22}, {14, 23}, {15, 24}};
const std::map<int, int> kMethodII{{0, 0}, {1, 2}, {2, 8}, {3, 13}, {4, 15}, {5, 16}, {6, 17}, {7, 21}, {8, 22}};

int OrdinalOf(const std::map<int, int>& table, int engine) {
  for (auto [ordinal, number] : table)
    if (number == engine) return ordinal;
  return 0;
}

TEST(PlottingMethod, OrdinalsGoOutAsEngineNumbersAndUnknownOnesAsLine) {
  for (int ordinal = 0; ordinal < 256; ++ordinal) {
    SCOPED_TRACE(ordinal);
    const auto o = static_cast<unsigned char>(ordinal);
    EXPECT_EQ(PlottingMethodToEngine(o), kMethod.count(ordinal) ? kMethod.at(ordinal) : 0);
    EXPECT_EQ(PlottingMethodIIToEngine(o), kMethodII.count(ordinal) ? kMethodII.at(ordinal) : 0);
  }
}

TEST(PlottingMethod, EngineNumbersComeBackAsOrdinalsAndOthersAsLine) {
  for (int engine = -3; engine <= 30; ++engine) {
    SCOPED_TRACE(engine);
    EXPECT_EQ(static_cast<int>(PlottingMethodFromEngine(engine)), OrdinalOf(kMethod, engine));
    EXPECT_EQ(static_cast<int>(PlottingMethodIIFromEngine(engine)), OrdinalOf(kMethodII, engine));
  }
  EXPECT_EQ(PlottingMethodFromEngine(17), ePlottingMethod::sgPointsPlusLine);
  EXPECT_EQ(PlottingMethodFromEngine(5), ePlottingMethod::sgLine);
  EXPECT_EQ(PlottingMethodIIFromEngine(4), ePlottingMethodII::sgLine2);
  EXPECT_EQ(PlottingMethodFromEngine(0x7FFFFFFF), ePlottingMethod::sgLine);
}

}  // namespace
}  // namespace pel::graph
