#pragma once
// Shared set-up of the evaluation tests: a thread block with the default
// parameters, positions from text, colour-mirrored twins and a corpus of
// real positions.
#include <string>
#include <vector>

#include "eval/eval_thread.h"

namespace eval_test {

// A thread block ready to evaluate: tables built, default parameters and
// built-in piece-square tables, no search running.
EvalThread* thread();

// Sets the thread's position and evaluates it for the side to move (one-off).
int eval_fen(const std::string& fen);

// The record with the board turned over: ranks reversed, colours swapped,
// the other side to move.
std::string mirror_fen(const std::string& fen);

// Restores default parameters and rebuilds the derived tables.
void reset_params();

// The placement of the EPD files and random legal playouts from them.
std::vector<std::string> corpus(int playouts_per_start, int max_length);

}  // namespace eval_test
