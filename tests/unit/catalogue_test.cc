#include "make/catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "rounding/corner_rounding.h"
#include "section/section_properties.h"

namespace {

struct Point {
  double y, z;
};

SectionRecipe recipe(const std::string& shape, std::vector<double> dimensions) {
  SectionRecipe r;
  r.shape = shape;
  r.dimensions = std::move(dimensions);
  return r;
}

// The section of a recipe: its widths, angles and nodes as expected (nodes
// from the origin, z downwards), and its area the sum of widths x t.
void expectSection(const SectionRecipe& r, const std::vector<double>& widths,
                   const std::vector<double>& angles, const std::vector<Point>& nodes) {
  SCOPED_TRACE(r.shape);
  CrossSection section;
  const Result made = makeSection(r, section);
  ASSERT_TRUE(made.ok()) << made.reason();
  ASSERT_EQ(section.ns, static_cast<int>(widths.size()));
  for (std::size_t k = 0; k < widths.size(); ++k) {
    EXPECT_NEAR(section.b_r[int(k)], widths[k], 1e-12);
    EXPECT_EQ(section.alpha_r[int(k)], angles[k]);
    EXPECT_TRUE(section.alpha_r[int(k)] > -180 && section.alpha_r[int(k)] <= 180);
  }
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    EXPECT_NEAR(section.nodeY[int(i)], nodes[i].y, 1e-12) << "node " << i + 1;
    EXPECT_NEAR(section.nodeZ[int(i)], nodes[i].z, 1e-12) << "node " << i + 1;
  }
  const double t = r.dimensions.back();
  EXPECT_NEAR(computeProperties(section).area,
              std::accumulate(widths.begin(), widths.end(), 0.0) * t, 1e-9);
  EXPECT_TRUE(checkChain(section).ok());
}

TEST(CatalogueTest, OutToOutDimensionsBecomeTheCentreLine) {
  // Lipped channel 200 x 75 x 20 x 2: web 198, flanges 73, lips 19; the chain
  // starts at the top lip's free end and runs down the web.
  expectSection(recipe("lipped-channel", {200, 75, 20, 2}), {19, 73, 198, 73, 19},
                {90, 0, -90, 180, 90},
                {{0, 0}, {0, -19}, {-73, -19}, {-73, 179}, {0, 179}, {0, 160}});
  // Channel 150 x 60 x 2: web 148, flanges 59 (one folded edge each).
  expectSection(recipe("channel", {150, 60, 2}), {59, 148, 59}, {0, -90, 180},
                {{0, 0}, {-59, 0}, {-59, 148}, {0, 148}});
  // Zed 200 x 70 x 2: flanges to either side.
  expectSection(recipe("zed", {200, 70, 2}), {69, 198, 69}, {0, -90, 0},
                {{0, 0}, {-69, 0}, {-69, 198}, {-138, 198}});
  // Lipped zed 200 x 70 x 20 x 1.5: lips turned into the section.
  expectSection(
      recipe("lipped-zed", {200, 70, 20, 1.5}), {19.25, 68.5, 198.5, 68.5, 19.25},
      {90, 0, -90, 0, 90},
      {{0, 0}, {0, -19.25}, {-68.5, -19.25}, {-68.5, 179.25}, {-137, 179.25}, {-137, 160}});
  // Hat 50 deep, top 80, brims 30, t 1: webs 49, top 79, brims 29.5; from the
  // left brim's free end, up the web, over the top.
  expectSection(recipe("hat", {50, 80, 30, 1}), {29.5, 49, 79, 49, 29.5}, {180, 90, 180, -90, 180},
                {{0, 0}, {29.5, 0}, {29.5, -49}, {108.5, -49}, {108.5, 0}, {138, 0}});
  // Angle 60 x 40 x 3: legs 58.5 and 38.5, the vertical one first.
  expectSection(recipe("angle", {60, 40, 3}), {58.5, 38.5}, {-90, 180},
                {{0, 0}, {0, 58.5}, {38.5, 58.5}});
}

TEST(CatalogueTest, CentreLineValuesInclinedLipsAndChains) {
  SectionRecipe centre = recipe("lipped-channel", {200, 75, 20, 2});
  centre.centreLine = true;
  expectSection(centre, {20, 75, 200, 75, 20}, {90, 0, -90, 180, 90}, {});
  // Lips at 45 degrees: each lip is its flange's outward direction turned by
  // 45 degrees into the section; the dimensions are centre-line values.
  SectionRecipe inclined = recipe("lipped-channel", {200, 75, 20, 2});
  inclined.lipAngle = 45;
  const double s = 20 * std::sqrt(0.5);
  expectSection(
      inclined, {20, 75, 200, 75, 20}, {45, 0, -90, 180, 135},
      {{0, 0}, {-s, -s}, {-s - 75, -s}, {-s - 75, 200 - s}, {-s, 200 - s}, {0, 200 - 2 * s}});
  SectionRecipe zed = recipe("lipped-zed", {200, 70, 20, 2});
  zed.lipAngle = 135;
  CrossSection section;
  ASSERT_TRUE(makeSection(zed, section).ok());
  EXPECT_EQ(section.alpha_r, (RealList{135, 0, -90, 0, 135}));
  EXPECT_EQ(section.explanation[0], "lipped-zed D 200 B 70 L 20 t 2 lip angle 135 (centre-line)");
  // A chain's angles are brought into (-180, 180].
  SectionRecipe chain = recipe("chain", {2});
  chain.chainWidths = {20, 75, 200};
  chain.chainAngles = {90, 360, -270};
  expectSection(chain, {20, 75, 200}, {90, 0, 90}, {});
}

TEST(CatalogueTest, TitleRecordAndDivision) {
  SectionRecipe r = recipe("lipped-channel", {200, 75, 20, 2});
  r.divide = 3;
  CrossSection section;
  ASSERT_TRUE(makeSection(r, section).ok());
  EXPECT_EQ(section.title, "Lipped channel 200 x 75 x 20 x 2");
  EXPECT_EQ(section.explanation.size(), 1u);
  EXPECT_EQ(section.explanation[0], "lipped-channel D 200 B 75 L 20 t 2 (out-to-out)");
  ASSERT_EQ(section.ns, 15);
  EXPECT_NEAR(section.b_r[0], 19.0 / 3, 1e-12);
  EXPECT_EQ(section.t_r.size(), 15u);
}

TEST(CatalogueTest, DimensionsThatMakeNoSection) {
  const std::pair<SectionRecipe, const char*> cases[] = {
      {recipe("lipped-channel", {200, 75, 1, 2}),
       "the lip vanishes on the centre line (L must be above t/2 = 1)"},
      {recipe("channel", {2, 60, 2}),
       "the web vanishes on the centre line (D must be above t = 2)"},
      {recipe("hat", {50, 80, 0.5, 1}),
       "the brim vanishes on the centre line (F must be above t/2 = 0.5)"},
      {recipe("angle", {60, 1, 3}),
       "the leg B2 vanishes on the centre line (B2 must be above t/2 = 1.5)"},
  };
  for (const auto& [r, reason] : cases) {
    CrossSection section;
    EXPECT_EQ(makeSection(r, section).reason(), reason);
  }
}

}  // namespace
