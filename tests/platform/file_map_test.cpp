// Whole-file mappings and the log's exclusive lock, on real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_lock.h"
#include "platform/file_map.h"
#include "support/scratch_dir.h"

using tarn_test::ScratchDir;

namespace {

void write_text_file(const std::string& name, const std::string& text) {
  std::ofstream(name, std::ios::binary) << text;
}

std::string read_text_file(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(FileMap, FilesOfEverySizeMapAndUnmap) {
  ScratchDir dir;
  for (size_t size : {0, 1, 4097}) {
    const std::string name = std::to_string(size), text(size, 'x');
    write_text_file(name, text);
    FileHandle handle = file_open_read(name.c_str());
    ASSERT_NE(handle, FILE_HANDLE_INVALID);
    FileView view{};
    unsigned long error = 0;
    ASSERT_EQ(file_map_whole(handle, &view, &error), FILE_MAP_OK);
    file_close(handle);
    ASSERT_EQ(view.size, size);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.data), size), text);
    void* data = const_cast<uint8_t*>(view.data);
    EXPECT_EQ(file_unmap(&view).view, 0);
    // The pages are gone: msync refuses an address that is not mapped.
    EXPECT_TRUE(size == 0 || msync(data, size, MS_ASYNC) != 0) << size;
    EXPECT_TRUE(view.data == nullptr && view.size == 0) << size;
  }
  EXPECT_EQ(file_open_read("missing"), FILE_HANDLE_INVALID);
  EXPECT_EQ(file_open_read("."), FILE_HANDLE_INVALID);  // a directory is no table
  FileView view{};
  unsigned long error = 0;
  EXPECT_EQ(file_map_whole(9999, &view, &error), FILE_MAP_OBJECT_FAILED);  // no open file
  EXPECT_NE(error, 0u);
}

TEST(FileLock, OnlyTheFirstOpenerOwnsAndEmptiesTheFile) {
  ScratchDir dir;
  write_text_file("log", "old");
  FILE* first = open_exclusive_for_writing("log");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(read_text_file("log"), "");
  std::fputs("mine", first);
  std::fflush(first);
  EXPECT_EQ(open_exclusive_for_writing("log"), nullptr);
  EXPECT_EQ(read_text_file("log"), "mine");  // the refused opener left it alone
  std::fclose(first);
  FILE* next = open_exclusive_for_writing("log");
  EXPECT_NE(next, nullptr);
  if (next) std::fclose(next);
  // A new log may be read by everyone, written by its owner only.
  umask(022);
  std::fclose(open_exclusive_for_writing("new"));
  struct stat st;
  ASSERT_EQ(stat("new", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  EXPECT_EQ(open_exclusive_for_writing("no/such/folder/log"), nullptr);
}

// An engine started with its input closed gets descriptor 0 for the next
// file it opens, a file like any other.
TEST(FileMap, DescriptorZeroIsAFileLikeAnyOther) {
  ScratchDir dir;
  write_text_file("table", "x");
  const int saved = dup(STDIN_FILENO);
  close(STDIN_FILENO);
  const FileHandle handle = file_open_read("table");
  EXPECT_EQ(handle, 0);
  if (handle != FILE_HANDLE_INVALID) file_close(handle);
  FILE* log = open_exclusive_for_writing("log");
  EXPECT_NE(log, nullptr);
  if (log) std::fclose(log);
  dup2(saved, STDIN_FILENO);
  close(saved);
}
