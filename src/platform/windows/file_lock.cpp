#include "platform/file_lock.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

FILE* open_exclusive_for_writing(const char* path) {
  // Shared for reading only: a second engine asking to write is refused
  // while an operator can still watch the file. The open does not truncate,
  // so a refused engine leaves the owner's file as it is.
  HANDLE handle = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  if (!SetEndOfFile(handle)) {
    CloseHandle(handle);
    return nullptr;
  }
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_TEXT);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  FILE* file = _fdopen(fd, "w");
  if (!file) _close(fd);
  return file;
}
