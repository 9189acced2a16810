#pragma once
// The probing layer below the engine entry points, on the tablebase
// position record. Success codes: 0 failure (a table missing or unusable),
// 1 exact, 2 reached by a capture (a lower bound of a win).
#include "core/root_moves.h"
#include "tablebases/tb_moves.h"
#include "tablebases/tbcore.h"

struct Board;

// WDL -2..2 with captures resolved by an alpha-beta search over them.
int egtb_probe_captures(const EgtbPosition& pos, int alpha, int beta, int* success);

// WDL -2..2 of the position, en-passant captures included.
int egtb_probe_wdl(const EgtbPosition& pos, int* success);

// Signed distance to zeroing: 0 draw, positive when winning, magnitude
// above 100 when the 50-move rule spoils the result.
int egtb_probe_dtz(const EgtbPosition& pos, int* success);

EgtbPosition egtb_position_from_board(const Board* board, int rule50);

// Structural sanity of a root position (two kings, disjoint sets, no pawn on
// the first or last rank, the side not to move not in check).
bool egtb_root_position_valid(const EgtbPosition& pos);

// Root decision: result 0..4 with the signed distance and the move chosen,
// or -1 when the position cannot be resolved.
int egtb_root_choice(const EgtbPosition& pos, int* dtz, EgtbMove* move);

// The same choice among the allowed moves only: the quickest win among
// them, else a drawing move, else the slowest loss; the result and distance
// are those of the chosen move. -1 when no allowed move can be resolved.
int egtb_root_choice_among(const EgtbPosition& pos, const RootMoves& only, int* dtz, EgtbMove* move);
