#include <gtest/gtest.h>

#include "platform/clock.h"

TEST(Clock, MonotonicAdvancesAcrossSleep) {
  double before = monotonic_seconds();
  sleep_ms(20);
  double after = monotonic_seconds();
  EXPECT_GE(after - before, 0.019);
}
