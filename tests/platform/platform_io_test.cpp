#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "platform/file_lock.h"
#include "platform/stdin_reader.h"

namespace {

std::string temp_path(const char* name) {
  return "/tmp/tarn_platform_" + std::to_string(getpid()) + "_" + name;
}

std::string read_text(const std::string& path) {
  std::string text;
  if (FILE* file = std::fopen(path.c_str(), "r")) {
    int c;
    while ((c = std::fgetc(file)) != EOF) text += static_cast<char>(c);
    std::fclose(file);
  }
  return text;
}

void write_text(const std::string& path, const char* text) {
  FILE* file = std::fopen(path.c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fputs(text, file);
  std::fclose(file);
}

}  // namespace

TEST(FileLock, SecondOwnerIsRefusedAndTheFileKept) {
  std::string path = temp_path("lock");
  write_text(path, "old contents\n");
  FILE* first = open_exclusive_for_writing(path.c_str());
  ASSERT_NE(first, nullptr);
  std::fputs("first\n", first);
  std::fflush(first);
  // A second open description conflicts even within one process.
  EXPECT_EQ(open_exclusive_for_writing(path.c_str()), nullptr);
  EXPECT_EQ(read_text(path), "first\n");
  std::fclose(first);
  // Released with the file: the next owner starts from an empty file.
  FILE* next = open_exclusive_for_writing(path.c_str());
  ASSERT_NE(next, nullptr);
  std::fclose(next);
  EXPECT_EQ(read_text(path), "");
  EXPECT_EQ(open_exclusive_for_writing("/nonexistent/dir/file"), nullptr);
  std::remove(path.c_str());
}

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

  dup2(saved, STDIN_FILENO);
  close(saved);
}
