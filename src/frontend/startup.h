#pragma once
// Process start and end.

// The start-up defaults of the two global records.
void set_default_settings();

struct CommandLine;

// Runs the engine with the command line; returns the exit status.
int run_engine(int argc, const char* const* argv);

// The two halves around the run mode, for drivers that run the engine's
// parts in process (the fuzz tests): everything up to the chosen mode
// (returns 0, or the exit status of a failed start), and the shutdown.
int start_engine(int argc, const char* const* argv, CommandLine* line);
void shut_down_engine();
