#pragma once
// Standard input without blocking. The main loop must keep its 5 ms rhythm
// while a search runs, so it asks how much is waiting before it reads.

// Outcome of a look at standard input.
enum StdinState { STDIN_EMPTY = 0, STDIN_READY = 1, STDIN_CLOSED = 2 };

// Waits at most timeout_ms (0 = just look) for standard input to become
// readable. STDIN_CLOSED means the other end hung up or an error occurred;
// a read may still return the last buffered bytes in that case.
StdinState stdin_wait(int timeout_ms);

// Reads what is available, at most `capacity` bytes, after stdin_wait said
// READY or CLOSED. Returns the byte count, 0 at end of input, -1 on error.
int stdin_read(char* buffer, int capacity);
