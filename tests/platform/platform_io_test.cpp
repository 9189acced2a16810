#include <gtest/gtest.h>

#include <cstring>

#include <unistd.h>

#include "platform/stdin_reader.h"

TEST(StdinReader, WaitsReadsAndSeesTheEnd) {
  int saved = dup(STDIN_FILENO);
  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  dup2(channel[0], STDIN_FILENO);
  close(channel[0]);

  EXPECT_EQ(stdin_wait(0), STDIN_EMPTY);
  EXPECT_EQ(stdin_wait(20), STDIN_EMPTY);
  ASSERT_EQ(write(channel[1], "go\n", 3), 3);
  EXPECT_EQ(stdin_wait(0), STDIN_READY);
  char buffer[16];
  EXPECT_EQ(stdin_read(buffer, sizeof buffer), 3);
  EXPECT_EQ(std::memcmp(buffer, "go\n", 3), 0);
  // Data written just before the close is still delivered, then the end.
  ASSERT_EQ(write(channel[1], "quit", 4), 4);
  close(channel[1]);
  EXPECT_EQ(stdin_wait(0), STDIN_READY);
  EXPECT_EQ(stdin_read(buffer, sizeof buffer), 4);
  EXPECT_NE(stdin_wait(0), STDIN_EMPTY);
  EXPECT_EQ(stdin_read(buffer, sizeof buffer), 0);
  // A read error other than an interruption is reported, not retried
  // (reading the writing end of a pipe fails).
  int spare[2];
  ASSERT_EQ(pipe(spare), 0);
  dup2(spare[1], STDIN_FILENO);
  alarm(10);  // a retrying reader would never return
  EXPECT_EQ(stdin_read(buffer, sizeof buffer), -1);
  alarm(0);
  close(spare[0]);
  close(spare[1]);

  dup2(saved, STDIN_FILENO);
  close(saved);
}
