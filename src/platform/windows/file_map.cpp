#include "platform/file_map.h"

#include <windows.h>

// Stands in for the data of an empty file, for which Windows makes no
// mapping; it is never read because the view's size is 0.
static const uint8_t empty_file_data[1] = {0};

FileHandle file_open_read(const char* path) {
  // Without backup semantics a directory does not open, so only files count.
  HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FILE_HANDLE_INVALID;
  return reinterpret_cast<FileHandle>(handle);
}

void file_close(FileHandle handle) {
  if (handle != FILE_HANDLE_INVALID) CloseHandle(reinterpret_cast<HANDLE>(handle));
}

FileMapStatus file_map_whole(FileHandle handle, FileView* view, unsigned long* error) {
  HANDLE file = reinterpret_cast<HANDLE>(handle);
  view->mapping = 0;
  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    *error = GetLastError();
    return FILE_MAP_OBJECT_FAILED;
  }
  uint64_t size = (static_cast<uint64_t>(high) << 32) | low;
  if (size == 0) {
    view->data = empty_file_data;
    view->size = 0;
    return FILE_MAP_OK;
  }
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, high, low, nullptr);
  if (!mapping) {
    *error = GetLastError();
    return FILE_MAP_OBJECT_FAILED;
  }
  void* data = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  if (!data) {
    *error = GetLastError();
    CloseHandle(mapping);
    return FILE_MAP_VIEW_FAILED;
  }
  view->data = static_cast<const uint8_t*>(data);
  view->size = size;
  view->mapping = reinterpret_cast<intptr_t>(mapping);
  return FILE_MAP_OK;
}

FileUnmapErrors file_unmap(FileView* view) {
  FileUnmapErrors errors{0, 0};
  if (view->data && view->size > 0 && !UnmapViewOfFile(view->data))
    errors.view = static_cast<int>(GetLastError());
  if (view->mapping && !CloseHandle(reinterpret_cast<HANDLE>(view->mapping)))
    errors.mapping = static_cast<int>(GetLastError());
  view->data = nullptr;
  view->size = 0;
  view->mapping = 0;
  return errors;
}
