#pragma once
// The main thread's reader of standard input.

// Reads whatever is waiting without blocking, queues complete lines, and
// executes at most one command (UCI or console, by protocol).
void poll_input();

// True once the input has ended and every command it brought has been
// taken: the interface is gone, and the interactive loop shuts down.
bool input_exhausted();

// For commands that read their own lines (the console board editor): the
// next command, waiting for it if necessary. Returns 0 at end of input.
// `out` holds COMMAND_MAX + 1 bytes.
int read_input_line(char* out);

// Sleeps `timeout_ms`, or less when new input arrives while no complete
// command is queued.
void wait_for_input(int timeout_ms);

// True once standard input has reported its end.
bool input_ended();

// Runs one command through the interpreter of the current protocol; "uci"
// always goes to the UCI interpreter.
void execute_command(char* command);

// For a driver that runs the interpreters in process (the fuzz tests):
// standard input is not read any more, and `bytes` are queued as if they
// had arrived there, a last line without its line feed included. Returns
// how many bytes fitted (the queue holds QUEUE_CAPACITY).
int feed_input(const char* bytes, int count);

// True while a complete command waits in the queue.
bool command_waiting();
