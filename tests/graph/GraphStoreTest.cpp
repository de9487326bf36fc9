// The engine's store of settings and data: kinds by id, data bounds, the
// per-axis label, the dirty mark.
#include <gtest/gtest.h>

#include "graphengine/GraphStore.h"

namespace pel::graphengine {
namespace {

TEST(GraphStore, KnowsTheKindOfEachPublishedSetting) {
  struct Case {
    unsigned id;
    ValueKind kind;
  };
  for (const Case& c : {Case{2115, ValueKind::Number}, Case{2335, ValueKind::Number}, Case{2666, ValueKind::Number},
                        Case{3090, ValueKind::Number}, Case{3055, ValueKind::Double}, Case{3099, ValueKind::Double},
                        Case{2634, ValueKind::Single}, Case{2948, ValueKind::Single}, Case{2105, ValueKind::Text},
                        Case{2695, ValueKind::Text}, Case{2916, ValueKind::Unknown}, Case{1, ValueKind::Unknown}}) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(KindOf(c.id), c.kind);
  }
}

TEST(GraphStore, DataOutsideTheSubsetsAndPointsIsIgnored) {
  GraphStore g;
  g.SetNumber(pid::Subsets, 2);
  g.SetNumber(pid::Points, 3);
  EXPECT_TRUE(g.SetData(pid::XData, 1, 2, 4.5f));
  EXPECT_TRUE(g.SetData(pid::YData, 0, 0, -1.0f));
  for (auto [s, p] : {std::pair{2, 0}, std::pair{0, 3}, std::pair{-1, 0}, std::pair{0, -1}, std::pair{1 << 30, 1 << 30}})
    EXPECT_FALSE(g.SetData(pid::YData, s, p, 1.0f)) << s << ',' << p;
  EXPECT_EQ(g.X(1, 2), 4.5f);
  EXPECT_EQ(g.Y(0, 0), -1.0f);
  EXPECT_TRUE(g.IsNullY(g.Y(1, 1)));  // not set yet: no data
  // Growing keeps what is there; negative counts hold nothing.
  g.SetNumber(pid::Points, 5);
  EXPECT_EQ(g.X(1, 2), 4.5f);
  g.SetNumber(pid::Points, -4);
  EXPECT_EQ(g.Number(pid::Points), -4);
  EXPECT_EQ(g.Points(), 0);
  EXPECT_FALSE(g.SetData(pid::XData, 0, 0, 1.0f));
}

TEST(GraphStore, TheDataArrayFillsSubsetBySubset) {
  GraphStore g;
  g.SetNumber(pid::Subsets, 2);
  g.SetNumber(pid::Points, 3);
  const float x[] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_TRUE(g.SetDataArray(pid::XData, x, 8));  // more than held: the rest ignored
  EXPECT_EQ(g.X(0, 2), 3.0f);
  EXPECT_EQ(g.X(1, 0), 4.0f);
  EXPECT_EQ(g.X(1, 2), 6.0f);
  const auto version = g.Version();
  const float y[] = {-1, -2, -3, -4};
  EXPECT_TRUE(g.SetDataArray(pid::YData, y, 4));  // fewer: the others stay
  EXPECT_EQ(g.Y(1, 0), -4.0f);
  EXPECT_TRUE(g.IsNullY(g.Y(1, 1)));
  EXPECT_EQ(g.Version(), version + 1);  // one change for the lot
  EXPECT_FALSE(g.SetDataArray(pid::SubsetLabels, x, 2));
  EXPECT_FALSE(g.SetDataArray(pid::XData, nullptr, 2));
  EXPECT_FALSE(g.SetDataArray(pid::XData, x, -1));
}

TEST(GraphStore, HugeCountsHoldBoundedData) {
  GraphStore g;
  g.SetNumber(pid::Subsets, 0x7FFFFFFF);
  g.SetNumber(pid::Points, 0x7FFFFFFF);
  EXPECT_EQ(g.Subsets(), GraphStore::kMaxSubsets);
  EXPECT_LE(static_cast<long long>(g.Subsets()) * g.Points(), GraphStore::kMaxValues);
  EXPECT_TRUE(g.SetData(pid::YData, g.Subsets() - 1, g.Points() - 1, 2.0f));
  EXPECT_FALSE(g.SetData(pid::YData, g.Subsets(), 0, 2.0f));
}

TEST(GraphStore, TheYAxisLabelBelongsToTheWorkingAxis) {
  GraphStore g;
  g.SetNumber(pid::WorkingAxis, 1);
  g.SetText(pid::YAxisLabel, u"V");
  g.SetNumber(pid::WorkingAxis, 0);
  g.SetText(pid::YAxisLabel, u"mA");
  EXPECT_EQ(g.AxisLabel(0), u"mA");
  EXPECT_EQ(g.AxisLabel(1), u"V");
  g.SetNumber(pid::WorkingAxis, 1);
  EXPECT_EQ(g.Text(pid::YAxisLabel), u"V");
}

TEST(GraphStore, ChangesMarkTheImageDirtyButPaintBookkeepingDoesNot) {
  GraphStore g;
  g.SetNumber(pid::ImageDirty, 0);
  const auto v = g.Version();
  g.SetNumber(pid::PaintInProgress, 1);
  g.SetNumber(pid::NotifyWindow, 1234);
  EXPECT_EQ(g.Version(), v);
  EXPECT_EQ(g.Number(pid::ImageDirty), 0);
  g.SetDouble(pid::ManualMinY, 1.0);
  EXPECT_GT(g.Version(), v);
  EXPECT_EQ(g.Number(pid::ImageDirty), 1);
}

TEST(GraphStore, CellsKeepTheirIndexAndRefuseBadOnes) {
  GraphStore g;
  const int five = 5;
  const double half = 0.5;
  EXPECT_TRUE(g.SetCell(3271, 2, &five));
  EXPECT_TRUE(g.SetCell(pid::GridNumberCell, 7, &half));
  EXPECT_TRUE(g.SetCell(pid::SubsetLabels, 1, u"mV"));
  EXPECT_FALSE(g.SetCell(3271, -1, &five));
  EXPECT_FALSE(g.SetCell(3271, 0, nullptr));
  int n = 0;
  double d = 0;
  EXPECT_TRUE(g.GetCell(3271, 2, &n));
  EXPECT_TRUE(g.GetCell(pid::GridNumberCell, 7, &d));
  EXPECT_EQ(n, 5);
  EXPECT_EQ(d, 0.5);
  EXPECT_EQ(g.SubsetLabel(1), u"mV");
  EXPECT_EQ(g.SubsetLabel(0), u"");
}

}  // namespace
}  // namespace pel::graphengine
