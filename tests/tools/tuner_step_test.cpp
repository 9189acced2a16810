#include "tools/tuner_step.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TunerStep, ProbeWidth) {
  ProbeWidth queen = probe_width(1150);
  EXPECT_EQ(queen.step, 35);  // round(35.0)
  EXPECT_DOUBLE_EQ(queen.clamp, 35.0);
  ProbeWidth knight = probe_width(-380);  // magnitude counts, not sign
  EXPECT_EQ(knight.step, 12);             // round(11.9)
  EXPECT_DOUBLE_EQ(knight.clamp, 11.9);
  EXPECT_EQ(probe_width(17).step, 1);     // 1.01
  EXPECT_EQ(probe_width(50).step, 2);     // 2.0
  ProbeWidth small = probe_width(3);
  EXPECT_EQ(small.step, 1);
  EXPECT_DOUBLE_EQ(small.clamp, 1.0);
}

TEST(TunerStep, GradientSmoothingAndClamp) {
  // Slope 1e-4 per unit on a knight of 380: wanted = 380 * 1e-4 * -2000 = -76,
  // clamped to the probe width 11.9.
  TuneMove first = tune_move(380, 368, 392, 0.100, 0.1024, 0, true);
  EXPECT_NEAR(first.gradient, 1e-4, 1e-15);
  EXPECT_NEAR(first.wanted, -76.0, 1e-9);
  EXPECT_DOUBLE_EQ(first.step, -11.9);
  // From the second pass the slope is smoothed with the previous raw one.
  TuneMove later = tune_move(380, 368, 392, 0.1, 0.1, 1e-6, false);
  EXPECT_NEAR(later.gradient, 0.0, 1e-15);
  EXPECT_NEAR(later.wanted, 380 * 0.35e-6 * -2000, 1e-12);
  EXPECT_NEAR(later.step, later.wanted, 1e-15);  // small enough to stand
  // A negative slope moves the value up; the clamp is symmetric.
  TuneMove up = tune_move(1150, 1115, 1185, 0.2, 0.1, 0, true);
  EXPECT_DOUBLE_EQ(up.step, 35.0);
  // Near zero the scale floor of 0.3 keeps the parameter movable.
  TuneMove tiny = tune_move(0.0, -1, 1, 0.1, 0.1 - 2e-4, 0, true);
  EXPECT_NEAR(tiny.wanted, 0.3 * -1e-4 * -2000, 1e-12);
}
