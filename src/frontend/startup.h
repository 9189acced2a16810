#pragma once
// Process start and end.

// The start-up defaults of the two global records.
void set_default_settings();

// Runs the engine with the command line; returns the exit status.
int run_engine(int argc, const char* const* argv);
