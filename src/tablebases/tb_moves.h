#pragma once
// Moves on the tablebase code's own position record: attacks, generation in
// a fixed order, and making a move into a copy. Castling never occurs here.
#include <cstdint>

#include "tablebases/tbcore.h"

// Destination bits 0-5, origin bits 6-11, promotion bits 12-14
// (0 none, 1 queen, 2 rook, 3 bishop, 4 knight).
using EgtbMove = uint16_t;
constexpr int EGTB_MAX_MOVES = 192;

enum EgtbPromotion { EGTB_PROMOTE_NONE = 0, EGTB_PROMOTE_QUEEN = 1, EGTB_PROMOTE_ROOK = 2,
                     EGTB_PROMOTE_BISHOP = 3, EGTB_PROMOTE_KNIGHT = 4 };

constexpr int egtb_move_to(EgtbMove m) { return m & 63; }
constexpr int egtb_move_from(EgtbMove m) { return (m >> 6) & 63; }
constexpr int egtb_move_promotion(EgtbMove m) { return (m >> 12) & 7; }
constexpr EgtbMove egtb_make_move(int from, int to, int promotion = 0) {
  return (EgtbMove)(to | (from << 6) | (promotion << 12));
}

// Makes sure the board's attack tables exist; called by the first setup.
void egtb_init_move_tables();

// True when `square` is attacked by the pieces of `colour`.
bool egtb_attacked(const EgtbPosition& pos, int square, int colour);

// True when the side to move's king is attacked.
bool egtb_in_check(const EgtbPosition& pos);

// True when the side that just moved left its king attacked.
bool egtb_mover_in_check(const EgtbPosition& pos);

// All pseudo-legal moves: king, queens, rooks, bishops, knights (origins and
// destinations ascending), then each pawn: en passant, then captures and
// pushes by destination, promotions as queen, knight, rook, bishop.
int egtb_gen_moves(const EgtbPosition& pos, EgtbMove* list);

// The same order restricted to captures, with each pawn's non-capturing
// promotions after its captures.
int egtb_gen_captures(const EgtbPosition& pos, EgtbMove* list);

// Makes the move into *out; false when it leaves the mover's king attacked.
bool egtb_do_move(EgtbPosition* out, const EgtbPosition& pos, EgtbMove move);

// True when the move is a pawn of the side to move landing on the
// en-passant square.
bool egtb_is_en_passant(const EgtbPosition& pos, EgtbMove move);

// Pawns of the side to move that attack the en-passant square (0 when none).
uint64_t egtb_en_passant_attackers(const EgtbPosition& pos);
