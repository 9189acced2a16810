// Starts a program with a Windows pipe as its standard input and copies this
// process's own standard input into it. Under wine a program started from
// Linux reads a Unix pipe, which cannot be peeked at; through this relay the
// engine reads the kind of pipe a Windows interface gives it. Standard output
// and error are handed down unchanged; the program's exit code is returned.
//
// Usage: pipe_relay program [arguments...]
#include <windows.h>

#include <string>

namespace {

// Quotes an argument the way the C runtime splits a command line.
void append_argument(std::string* line, const char* argument) {
  if (!line->empty()) *line += ' ';
  *line += '"';
  int slashes = 0;
  for (const char* c = argument; *c; ++c) {
    if (*c == '\\') {
      slashes++;
      continue;
    }
    line->append(static_cast<size_t>(*c == '"' ? 2 * slashes + 1 : slashes), '\\');
    slashes = 0;
    *line += *c;
  }
  line->append(static_cast<size_t>(2 * slashes), '\\');
  *line += '"';
}

HANDLE inheritable(HANDLE handle) {
  HANDLE copy = nullptr;
  DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS);
  return copy;
}

DWORD WINAPI copy_input(void* pipe) {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char bytes[4096];
  DWORD count = 0, written = 0;
  while (ReadFile(input, bytes, sizeof bytes, &count, nullptr) && count > 0)
    if (!WriteFile(pipe, bytes, count, &written, nullptr)) break;
  // The end of our input is the end of the program's.
  CloseHandle(pipe);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string command;
  for (int i = 1; i < argc; ++i) append_argument(&command, argv[i]);

  SECURITY_ATTRIBUTES shared{sizeof shared, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &shared, 0)) return 2;
  SetHandleInformation(write_end, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = read_end;
  startup.hStdOutput = inheritable(GetStdHandle(STD_OUTPUT_HANDLE));
  startup.hStdError = inheritable(GetStdHandle(STD_ERROR_HANDLE));
  PROCESS_INFORMATION child{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child))
    return 2;
  CloseHandle(read_end);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  CloseHandle(child.hThread);

  CreateThread(nullptr, 0, copy_input, write_end, 0, nullptr);
  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD code = 2;
  GetExitCodeProcess(child.hProcess, &code);
  // The copying thread may still wait for input; ending the process ends it.
  ExitProcess(code);
}
