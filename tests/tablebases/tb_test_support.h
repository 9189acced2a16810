#pragma once
// Helpers shared by the tablebase tests: positions from FEN text, the shared
// table folder, and a reference WDL computed from the successors.
#include <string>

#include "tablebases/tbcore.h"

struct Board;

namespace tb_test {

// Piece placement, side to move and en-passant square of a FEN text
// ("-" or a square); castling and counters are ignored.
EgtbPosition position_from_fen(const std::string& fen, int rule50 = 0);

// The folder of real tables shared with the project.
std::string syzygy_dir();

// Runs a setup with standard output captured; returns what it printed.
std::string setup_capturing(const std::string& path);

// Places the given piece codes (first two are the white and black king) on
// the given squares; false when two share a square.
bool place(EgtbPosition* pos, const int* codes, const int* squares, int count, bool white_to_move);

// FEN text of a position (no castling rights).
std::string fen_of(const EgtbPosition& pos);

// The position on the engine's own board (one shared test thread block).
Board* engine_board(const EgtbPosition& pos);

}  // namespace tb_test
