#include "board/legality.h"

// The emptiness of the squares between king and rook is the generator's
// concern; here only attacks count.
bool castling_legal(const Board* board, int enemy, int from, int to) {
  return !attacked(board, from, enemy) && !attacked(board, (from + to) / 2, enemy) &&
         !attacked(board, to, enemy);
}

Bitboard evasion_targets(const Board* board, int side) {
  const int king = king_square(board, side);
  const Bitboard occ = occupancy(board);
  const Bitboard* enemy = board->bb + 8 * (side ^ 1);
  const Bitboard checkers = (enemy[PAWN] & pawn_attacks[side][king]) | (enemy[KNIGHT] & knight_attacks[king]) |
                            ((enemy[BISHOP] | enemy[QUEEN]) & bishop_attacks(king, occ)) |
                            ((enemy[ROOK] | enemy[QUEEN]) & rook_attacks(king, occ));
  if (checkers == 0) return ~Bitboard{0};  // not in check: no square is ruled out
  if (checkers & (checkers - 1)) return 0;
  return checkers | between[king][lsb(checkers)];
}

Bitboard pinned_pieces(const Board* board, int side) {
  const int king = king_square(board, side);
  if (king >= 64) return 0;
  const Bitboard occ = occupancy(board);
  const Bitboard* enemy = board->bb + 8 * (side ^ 1);
  Bitboard snipers = ((enemy[BISHOP] | enemy[QUEEN]) & bishop_rays[king]) |
                     ((enemy[ROOK] | enemy[QUEEN]) & rook_rays[king]);
  Bitboard pinned = 0;
  while (snipers) {
    const Bitboard blockers = between[pop_lsb(snipers)][king] & occ;
    if (blockers && !(blockers & (blockers - 1))) pinned |= blockers;
  }
  return pinned & board->bb[8 * side];
}

int gives_check(const Board* board, int side, const MoveEntry& entry) {
  int king = king_square(board, side ^ 1);
  if (king >= 64) return 0;
  int from = move_from(entry.move), to = move_to(entry.move);
  int type = is_promotion(entry.move) ? promotion_type(entry.move) : piece_type(entry.piece);
  Bitboard occ = occupancy(board);
  Bitboard target = square_bit(king);
  // The origin is empty once the piece has left: a promoting pawn can check
  // along a line through its own square.
  Bitboard lines = occ & ~square_bit(from);

  switch (type) {
    case PAWN:
      if (pawn_attacks[side][to] & target) return 1;
      break;
    case KNIGHT:
      if (knight_attacks[to] & target) return 1;
      break;
    default:
      break;
  }
  if ((type == BISHOP || type == QUEEN) && (bishop_rays[to] & target) && !(between[to][king] & lines)) return 1;
  if ((type == ROOK || type == QUEEN) && (rook_rays[to] & target) && !(between[to][king] & lines)) return 1;

  if (!(board->signature[side] & 0xFFF00)) return 0;
  Bitboard occ2 = lines | square_bit(to);
  const Bitboard* own = board->bb + 8 * side;
  if (rook_rays[king] & square_bit(from)) {
    for (Bitboard b = (own[ROOK] | own[QUEEN]) & rook_rays[king] & rook_rays[from]; b;)
      if (!(between[pop_lsb(b)][king] & occ2)) return 2;
  }
  if (bishop_rays[king] & square_bit(from)) {
    for (Bitboard b = (own[BISHOP] | own[QUEEN]) & bishop_rays[king] & bishop_rays[from]; b;)
      if (!(between[pop_lsb(b)][king] & occ2)) return 2;
  }
  return 0;
}

void find_check_squares(const Board* board, int side, CheckSquares& squares) {
  squares = CheckSquares{};
  const int king = king_square(board, side ^ 1);
  if (king >= 64) return;
  const Bitboard occ = occupancy(board);
  const Bitboard diagonal = bishop_attacks(king, occ), straight = rook_attacks(king, occ);
  squares.by_type[PAWN] = pawn_attacks[side ^ 1][king];
  squares.by_type[KNIGHT] = knight_attacks[king];
  squares.by_type[BISHOP] = diagonal;
  squares.by_type[ROOK] = straight;
  squares.by_type[QUEEN] = diagonal | straight;
  const Bitboard* own = board->bb + 8 * side;
  Bitboard snipers = ((own[BISHOP] | own[QUEEN]) & bishop_rays[king]) | ((own[ROOK] | own[QUEEN]) & rook_rays[king]);
  while (snipers) {
    const Bitboard blockers = between[pop_lsb(snipers)][king] & occ;
    if (blockers && !(blockers & (blockers - 1))) squares.discoverers |= blockers;
  }
  squares.discoverers &= own[0];
}
