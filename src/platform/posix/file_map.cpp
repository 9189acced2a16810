#include "platform/file_map.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

// Stands in for the data of an empty file, which cannot be mapped; it is
// never read because the view's size is 0.
static const uint8_t empty_file_data[1] = {0};

FileHandle file_open_read(const char* path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FILE_HANDLE_INVALID;
  struct stat st;
  // A directory opens fine for reading but is not a table.
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return FILE_HANDLE_INVALID;
  }
  return fd;
}

void file_close(FileHandle handle) {
  if (handle != FILE_HANDLE_INVALID) close(static_cast<int>(handle));
}

FileMapStatus file_map_whole(FileHandle handle, FileView* view, unsigned long* error) {
  int fd = static_cast<int>(handle);
  struct stat st;
  view->mapping = 0;
  if (fstat(fd, &st) != 0) {
    *error = (unsigned long)errno;
    return FILE_MAP_OBJECT_FAILED;
  }
  if (st.st_size == 0) {
    view->data = empty_file_data;
    view->size = 0;
    return FILE_MAP_OK;
  }
  void* p = mmap(nullptr, (size_t)st.st_size, PROT_READ, MAP_SHARED, fd, 0);
  if (p == MAP_FAILED) {
    *error = (unsigned long)errno;
    return FILE_MAP_VIEW_FAILED;
  }
  view->data = static_cast<const uint8_t*>(p);
  view->size = (uint64_t)st.st_size;
  return FILE_MAP_OK;
}

FileUnmapErrors file_unmap(FileView* view) {
  FileUnmapErrors errors{0, 0};
  if (view->data && view->size > 0 &&
      munmap(const_cast<uint8_t*>(view->data), (size_t)view->size) != 0)
    errors.view = errno;
  view->data = nullptr;
  view->size = 0;
  view->mapping = 0;
  return errors;
}
