#include "search/move_classify.h"

#include "board/attacks.h"
#include "board/legality.h"
#include "board/see.h"

namespace {

int relative_rank(int square, int side) { return side == WHITE ? rank_of(square) : 7 - rank_of(square); }

Bitboard enemy(const Board* board, int side, int type) { return board->bb[make_piece(type, side ^ 1)]; }

Bitboard king_zone(const Board* board, int side) {
  const int k = king_square(board, side ^ 1);
  return king_attacks[k] | square_bit(k);
}

// An enemy piece from `targets` on a new line, seen from `to` with nothing between.
bool hits_on_new_line(const Board* board, Bitboard new_line, Bitboard targets, int to) {
  const Bitboard occ = occupancy(board);
  for (Bitboard b = new_line & targets; b;) {
    const int sq = pop_lsb(b);
    if (!(between[to][sq] & occ)) return true;
  }
  return false;
}

// Some of the `zone` squares on a new line, reached through nothing but own
// pieces that move along the same kind of line, that another own piece
// already attacks: the move doubles an attack next to the enemy king.
bool doubles_zone_attack(const Board* board, int side, const MoveEntry& entry, Bitboard zone, Bitboard sliders) {
  const int from = move_from(entry.move);
  const int to = move_to(entry.move);
  // The other attackers are counted with the mover gone from its square.
  const Bitboard occ = occupancy(board) & ~square_bit(from);
  const Bitboard blockers = occ & ~sliders;
  for (Bitboard b = zone; b;) {
    const int sq = pop_lsb(b);
    if (between[to][sq] & blockers) continue;
    if (attacked_through(board, sq, side, occ, square_bit(from))) return true;
  }
  return false;
}

// Most new lines miss the king zone: that test is made here, inline.
inline bool zone_test(const Board* board, int side, const MoveEntry& entry, Bitboard zone, Bitboard new_line,
                      Bitboard sliders) {
  return (zone & new_line) && doubles_zone_attack(board, side, entry, zone & new_line, sliders);
}

}  // namespace

uint16_t pawn_move_flags(const Board* board, int side, const MoveEntry& entry, uint16_t flags) {
  const Move m = entry.move;
  const int to = move_to(m);
  if (to == board->ep) flags |= FLAG_CAPTURE;
  if (m & PROMOTE_QUEEN) return flags | FLAG_QUEENING;
  if (m & (PROMOTE_KNIGHT | PROMOTE_BISHOP | PROMOTE_ROOK)) return flags | FLAG_PASSER;
  const int rank = relative_rank(to, side);
  if (rank == 6) return flags | FLAG_SEVENTH;
  if ((rank == 4 || rank == 5) && !(passed_span[side][to] & enemy(board, side, PAWN)))
    flags |= FLAG_PASSER;
  return flags;
}

bool threat_safe(Board* board, int side, int eval, int beta) {
  // A piece hangs badly when taking it wins something, and at least the
  // surplus over beta.
  const int surplus = eval - 99 - beta;
  const int threshold = surplus > 1 ? surplus : 1;
  const Bitboard occ = occupancy(board);
  Bitboard pieces = board->bb[8 * side] & ~board->bb[make_piece(KING, side)];
  while (pieces) {
    const int sq = pop_lsb(pieces);
    if (swap_at_least(board, side ^ 1, NO_SQUARE, sq, occ, true, threshold)) return false;
  }
  return true;
}

bool creates_threat(Board* board, int side, const MoveEntry& entry) {
  const int from = move_from(entry.move);
  const int to = move_to(entry.move);
  const Bitboard zone = king_zone(board, side);
  const Bitboard enemy_majors = enemy(board, side, ROOK) | enemy(board, side, QUEEN);
  const Bitboard own_queens = board->bb[make_piece(QUEEN, side)];
  // Each type works out only the lines it needs: most moves tested are
  // late quiet moves about to be pruned.
  switch (piece_type(entry.piece)) {
    case PAWN: {
      const Bitboard targets = zone | enemy(board, side, KNIGHT) | enemy(board, side, BISHOP) | enemy_majors;
      return (pawn_attacks[side][to] & targets) != 0;
    }
    case KNIGHT:
      return (knight_attacks[to] & (zone | enemy_majors)) != 0;
    case BISHOP: {
      const Bitboard new_diagonal = bishop_rays[to] & ~bishop_rays[from] & ~square_bit(from);
      const Bitboard own_diagonal = board->bb[make_piece(BISHOP, side)] | own_queens;
      return hits_on_new_line(board, new_diagonal, enemy_majors, to) ||
             zone_test(board, side, entry, zone, new_diagonal, own_diagonal);
    }
    case ROOK: {
      const Bitboard new_straight = rook_rays[to] & ~rook_rays[from] & ~square_bit(from);
      const Bitboard own_straight = board->bb[make_piece(ROOK, side)] | own_queens;
      return hits_on_new_line(board, new_straight, enemy(board, side, QUEEN), to) ||
             zone_test(board, side, entry, zone, new_straight, own_straight);
    }
    case QUEEN: {
      // A queen already sees along both kinds of line from its origin, so a
      // square it covered diagonally is no new line when it is reached straight.
      const Bitboard old_lines = bishop_rays[from] | rook_rays[from] | square_bit(from);
      const Bitboard own_diagonal = board->bb[make_piece(BISHOP, side)] | own_queens;
      const Bitboard own_straight = board->bb[make_piece(ROOK, side)] | own_queens;
      return zone_test(board, side, entry, zone, bishop_rays[to] & ~old_lines, own_diagonal) ||
             zone_test(board, side, entry, zone, rook_rays[to] & ~old_lines, own_straight);
    }
    default:
      return false;
  }
}

MoveEntry* gen_quiet_checks(const Board* board, int side, MoveEntry* out) {
  const int k = king_square(board, side ^ 1);
  const Bitboard occ = occupancy(board);
  const Bitboard empty = ~occ;
  const int step = side == WHITE ? 8 : -8;
  auto add = [&](int from, int to) {
    out->move = make_move_word(from, to);
    out->score = 3;
    out->piece = board->squares[from];
    out->captured = 0;
    ++out;
  };
  const int pawn = make_piece(PAWN, side);
  const Bitboard pawn_check_squares = pawn_attacks[side ^ 1][k];
  // Few positions have a pawn push that checks or one onto the seventh
  // rank: the pawns are walked, in list order, only when one exists.
  const Bitboard pawns = board->bb[pawn];
  const Bitboard pushed = (side == WHITE ? pawns << 8 : pawns >> 8) & empty;
  if (pushed & pawn_check_squares) {
    for (const uint8_t* sq = board->plist[pawn]; *sq != NO_SQUARE; ++sq) {
      if (relative_rank(*sq, side) == 6) continue;
      const int to = *sq + step;
      if ((empty & square_bit(to)) && (pawn_check_squares & square_bit(to))) add(*sq, to);
    }
  }
  const int knight = make_piece(KNIGHT, side);
  for (const uint8_t* sq = board->plist[knight]; *sq != NO_SQUARE; ++sq)
    for (Bitboard b = knight_attacks[*sq] & knight_attacks[k] & empty; b;) add(*sq, pop_lsb(b));
  const bool has_queen = board->bb[make_piece(QUEEN, side)] != 0;
  const Bitboard diagonal_checks =
      (has_queen || board->bb[make_piece(BISHOP, side)]) ? bishop_attacks(k, occ) & empty : 0;
  const Bitboard straight_checks =
      (has_queen || board->bb[make_piece(ROOK, side)]) ? rook_attacks(k, occ) & empty : 0;
  const int bishop = make_piece(BISHOP, side);
  for (const uint8_t* sq = board->plist[bishop]; *sq != NO_SQUARE; ++sq)
    for (Bitboard b = bishop_attacks(*sq, occ) & diagonal_checks; b;) add(*sq, pop_lsb(b));
  const int rook = make_piece(ROOK, side);
  for (const uint8_t* sq = board->plist[rook]; *sq != NO_SQUARE; ++sq)
    for (Bitboard b = rook_attacks(*sq, occ) & straight_checks; b;) add(*sq, pop_lsb(b));
  const int queen = make_piece(QUEEN, side);
  for (const uint8_t* sq = board->plist[queen]; *sq != NO_SQUARE; ++sq) {
    const Bitboard reach = queen_attacks(*sq, occ);
    for (Bitboard b = (reach & diagonal_checks) | (reach & straight_checks); b;) add(*sq, pop_lsb(b));
  }
  if (!(pushed & rank7[side])) return out;
  for (const uint8_t* sq = board->plist[pawn]; *sq != NO_SQUARE; ++sq) {
    if (relative_rank(*sq, side) != 5) continue;
    const int to = *sq + step;
    if (empty & square_bit(to)) add(*sq, to);
  }
  return out;
}
