#pragma once
// Helpers shared by the tablebase tests: positions from FEN text or random
// placements, the shared table folder, and the engine's own board.
#include <random>
#include <string>
#include <vector>

#include "tablebases/tbcore.h"

struct Board;

namespace tb_test {

// The text on the engine's board (one shared test thread block), with the
// fifty-move counter at `fifty`.
Board* board_at(const std::string& fen, int fifty = 0);
Board* engine_board(const EgtbPosition& pos);

// The legal moves of the position on the board, by the engine's generator.
std::vector<uint16_t> legal_moves(const Board* board);

// The table view of a FEN text, read by the engine's own reader.
EgtbPosition position_from_fen(const std::string& fen);

// FEN text of a position (no castling rights).
std::string fen_of(const EgtbPosition& pos);

// The folder of real tables shared with the project.
std::string syzygy_dir();

// Runs a setup with standard output captured; returns what it printed.
std::string setup_capturing(const std::string& path);

// Piece codes of a material name such as "KRPvKP", the kings first.
std::vector<int> codes_of(const std::string& material);

// Places the given piece codes on the given squares; false when two share
// a square.
bool place(EgtbPosition* pos, const int* codes, const int* squares, int count, bool white_to_move);

bool pawn_on_edge_rank(const EgtbPosition& pos);

// A random placement of the codes, either side to move, that a root probe
// accepts (no pawn on the edge ranks, the side not to move not in check).
EgtbPosition random_position(const std::vector<int>& codes, std::mt19937_64& rng);

}  // namespace tb_test
