#pragma once
// Read-only access to whole files through memory mapping: the tablebase files
// are decoded in place, so a lookup never needs a system call once its file
// is mapped.
#include <cstdint>

// An open file, or FILE_HANDLE_INVALID.
using FileHandle = int;
constexpr FileHandle FILE_HANDLE_INVALID = -1;

// A mapped view of a whole file. An empty file gives a valid view of size 0
// whose data pointer must not be read.
struct FileView {
  const uint8_t* data;
  uint64_t size;
};

// Opens an existing file for reading; FILE_HANDLE_INVALID when it cannot be opened.
FileHandle file_open_read(const char* path);

void file_close(FileHandle handle);

// Outcome of mapping an open file.
enum FileMapStatus { FILE_MAP_OK, FILE_MAP_SIZE_FAILED, FILE_MAP_VIEW_FAILED };

// Maps the whole file read-only into *view. On failure *error holds the
// operating system's error code. The handle stays open; the view does not
// depend on it afterwards.
FileMapStatus file_map_whole(FileHandle handle, FileView* view, unsigned long* error);

// Releases a view made by file_map_whole and clears it. Returns false (with
// *error set) when the operating system refused.
bool file_unmap(FileView* view, int* error);
