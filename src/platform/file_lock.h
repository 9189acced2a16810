#pragma once
// An advisory lock that tells two engine processes sharing a working
// directory apart: the first one to lock a file owns it until it exits.
#include <cstdio>

// Opens `path` for writing, creating it when missing, and takes an exclusive
// lock on it without waiting. When the lock is held by another process (or
// the file cannot be opened) returns null and leaves the file untouched;
// otherwise empties the file and returns it, locked until it is closed.
FILE* open_exclusive_for_writing(const char* path);
