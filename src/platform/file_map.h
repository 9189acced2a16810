#pragma once
// Read-only access to whole files through memory mapping: the tablebase files
// are decoded in place, so a lookup never needs a system call once its file
// is mapped.
#include <cstdint>

// An open file, or FILE_HANDLE_INVALID. Wide enough for a descriptor and for
// a Windows handle, whose invalid value is also -1.
using FileHandle = intptr_t;
constexpr FileHandle FILE_HANDLE_INVALID = -1;

// A mapped view of a whole file. An empty file gives a valid view of size 0
// whose data pointer must not be read. `mapping` is the operating system's
// mapping object where it has one (0 otherwise), kept for the release.
struct FileView {
  const uint8_t* data;
  uint64_t size;
  intptr_t mapping;
};

// Opens an existing file for reading; FILE_HANDLE_INVALID when it cannot be
// opened or is not a regular file.
FileHandle file_open_read(const char* path);

void file_close(FileHandle handle);

// Outcome of mapping an open file: done, or the step that failed (the
// mapping object, including the size query it needs, or the view).
enum FileMapStatus { FILE_MAP_OK, FILE_MAP_OBJECT_FAILED, FILE_MAP_VIEW_FAILED };

// Maps the whole file read-only into *view. On failure *error holds the
// operating system's error code. The handle stays open; the view does not
// depend on it afterwards.
FileMapStatus file_map_whole(FileHandle handle, FileView* view, unsigned long* error);

// Error codes of the two release steps, 0 when the step went through.
struct FileUnmapErrors {
  int view;
  int mapping;
};

// Releases a view made by file_map_whole and clears it, whatever the
// operating system says.
FileUnmapErrors file_unmap(FileView* view);
