#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/input_queue.h"

namespace {

std::vector<std::string> drain(InputQueue* queue) {
  std::vector<std::string> commands;
  char command[COMMAND_MAX + 1];
  while (take_command(queue, command)) commands.push_back(command);
  return commands;
}

void feed(InputQueue* queue, const std::string& bytes) {
  queue_bytes(queue, bytes.data(), static_cast<int>(bytes.size()));
}

}  // namespace

// An overlong line is cut, and the next line survives.
TEST(InputQueue, LinesSplitAtLineEndsNulAndSeparator) {
  static InputQueue queue;
  static const char bytes[] = "uci\nisready@stop\n\n\nposition startpos\r\nnext\0go\n";
  feed(&queue, std::string(bytes, sizeof bytes - 1) + std::string(10000, 'x') + "\nisready\n");
  EXPECT_EQ(drain(&queue), (std::vector<std::string>{"uci", "isready", "stop", "position startpos", "next", "go",
                                                      std::string(COMMAND_MAX, 'x'), "isready"}));
  EXPECT_EQ(queue.queue_length, 0);
}

TEST(InputQueue, PartialLinesWaitForTheirEnd) {
  static InputQueue queue;
  feed(&queue, "posi");
  EXPECT_TRUE(drain(&queue).empty());
  feed(&queue, "tion star");
  EXPECT_TRUE(drain(&queue).empty());
  feed(&queue, "tpos\nis");
  EXPECT_EQ(drain(&queue), std::vector<std::string>{"position startpos"});
  // A last line without its line feed still counts at the end of input.
  queue_flush_partial(&queue);
  EXPECT_EQ(drain(&queue), std::vector<std::string>{"is"});
}

TEST(InputQueue, RoomNeverLetsCompleteCommandsBeDropped) {
  static InputQueue queue;
  // Feed only as much as the queue admits, as the reader does, and check
  // that every line comes out, in order, with nothing lost.
  std::string stream;
  std::vector<std::string> lines;
  for (int i = 0; i < 3000; i++) {
    lines.push_back("line" + std::to_string(i));
    stream += lines.back() + "\n";
  }
  size_t offset = 0;
  std::vector<std::string> seen;
  char command[COMMAND_MAX + 1];
  while (offset < stream.size()) {
    int room = queue_room(&queue);
    int take = std::min<int>(room, static_cast<int>(stream.size() - offset));
    take = std::min(take, 777);  // arbitrary read sizes
    queue_bytes(&queue, stream.data() + offset, take);
    offset += static_cast<size_t>(take);
    if (room == 0 || offset % 3 == 0)
      if (take_command(&queue, command)) seen.push_back(command);
  }
  for (auto& rest : drain(&queue)) seen.push_back(rest);
  EXPECT_EQ(seen, lines);
}
