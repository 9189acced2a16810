#pragma once
// A console, and standard input that cannot be peeked at (a file, a device,
// or the Unix pipe a program run under wine gets from its parent), is read
// by a thread of its own, which may block; the main thread takes what it
// has read.
#include <windows.h>

#include "platform/stdin_reader.h"

// Starts the thread that reads `input`; false when no thread can be made.
bool stdin_thread_start(HANDLE input);

// Whether bytes are waiting, none yet, or the input has ended and all of
// it has been taken.
StdinState stdin_thread_state();

// Takes up to `capacity` waiting bytes; 0 once the input has ended.
int stdin_thread_take(char* buffer, int capacity);
