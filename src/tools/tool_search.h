#pragma once
// How the batch tools run one search of the game position: set-up, the
// search itself (on the calling thread or on the workers) and the wait.

// Starts the clock and prepares a "think" search of the game position.
void tool_prepare_search();

// Runs think(1) on the calling thread: no worker is woken, so shallow
// searches avoid the start and stop latency of the worker protocol.
void tool_search_here();

// Wakes the workers and waits for them: clock check and input poll each
// round, with a 1 ms sleep while no stop is pending and, when
// sleep_after_depth_one is set, only once the main search thread is past
// its first iteration (shallow iterations would otherwise be overslept).
void tool_search_on_workers(bool sleep_after_depth_one);

// Polls standard input once, so a typed "quit" reaches the batch tools.
void tool_poll_input();

// The front end's input reader, handed in at start-up: the tools sit below
// it but must still hear a typed "quit". While unset nothing is read.
struct InputHooks {
  void (*poll)();   // reads what is waiting, runs at most one command
  bool (*ended)();  // true once standard input has reported its end
};
extern InputHooks tool_input;
