#include "rounding/generation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(RadiusSeriesTest, CountsStepsAndTheLastRadius) {
  const struct {
    double first, last;
    int count;
    std::vector<double> radii;
  } cases[] = {
      {2, 4, 3, {2, 3, 4}},
      {2, 2, 1, {2}},
      {0.1,
       0.3,
       3,
       {0.1, 0.1 + 0.09999999999999999, 0.1 + 0.09999999999999999 + 0.09999999999999999}},
      {1,
       2,
       11,
       {1, 1.1, 1.2000000000000002, 1.3000000000000003, 1.4000000000000004, 1.5000000000000004,
        1.6000000000000005, 1.7000000000000006, 1.8000000000000007, 1.9000000000000008,
        2.000000000000001}},
      {4, 2, 3, {}},  // a step below 0 gives none
      {1e17, 1e17 + 64, 3, {1e17, 1e17 + 32, 1e17 + 64}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(radiusSeries(c.first, c.last, c.count), c.radii) << c.first << " " << c.count;
  }
  // A step too small to move the radius ends the series instead of looping.
  EXPECT_EQ(radiusSeries(1e17, 1e17 + 64, 1000).size(), 1u);
}

}  // namespace
