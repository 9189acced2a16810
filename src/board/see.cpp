#include "board/see.h"

#include "board/attacks.h"

const int16_t exchange_value[7] = {0, 100, 330, 330, 530, 1060, 10000};

namespace {

// Least valuable piece of `side` still in `occ` that attacks `square`.
int least_attacker(const Board* board, int side, int square, Bitboard occ) {
  const Bitboard* bb = board->bb + 8 * side;
  if (Bitboard b = bb[PAWN] & pawn_attacks[side ^ 1][square] & occ) return lsb(b);
  if (Bitboard b = bb[KNIGHT] & knight_attacks[square] & occ) return lsb(b);
  // Of several sliders of one kind, the lowest-numbered with a clear line.
  Bitboard diagonal = bishop_attacks(square, occ) & occ, straight = rook_attacks(square, occ) & occ;
  if (Bitboard b = bb[BISHOP] & diagonal) return lsb(b);
  if (Bitboard b = bb[ROOK] & straight) return lsb(b);
  if (Bitboard b = bb[QUEEN] & (diagonal | straight)) return lsb(b);
  if (Bitboard b = bb[KING] & king_attacks[square] & occ) return lsb(b);
  return NO_SQUARE;
}

}  // namespace

int swap(Board* board, int side, int from, int square, Bitboard occ, bool optional) {
  // The exchange is played out forwards, recording what each capture wins,
  // and then valued backwards: each side may decline to recapture (every
  // capture after the first, and the first when `optional`). A capture of
  // the king ends it at 9999; running out of attackers ends it at 0.
  int gain[64];  // each capture takes one square out of `occ`
  int captures = 0;
  int tail = 0;
  int victim = board->squares[square];
  for (;;) {
    if (from == NO_SQUARE) from = least_attacker(board, side, square, occ);
    if (from == NO_SQUARE) break;
    if (piece_type(victim) == KING) {
      tail = 9999;
      break;
    }
    gain[captures++] = exchange_value[piece_type(victim)];
    // The capturer becomes the next victim; sliders behind it join in.
    victim = board->squares[from];
    occ &= ~square_bit(from);
    from = NO_SQUARE;
    side ^= 1;
  }
  // Written so that the clamps become conditional moves: whether a side
  // declines is as good as random to the branch predictor.
  int value = tail;
  while (captures > 1) {
    value = gain[--captures] - value;
    value = value < 0 ? 0 : value;
  }
  if (captures == 1) {
    value = gain[0] - value;
    if (optional) value = value < 0 ? 0 : value;
  }
  return value;
}

bool swap_at_least(Board* board, int side, int from, int square, Bitboard occ, bool optional, int threshold) {
  // The exchange played forwards as in swap, deciding the caller's question
  // as early as it can. After each capture the reply is worth between 0 and
  // the piece just taken, so the question "is the reply worth at most
  // `bound`?" is often settled before the replier's attackers are looked up;
  // otherwise it turns into the opposite question one capture deeper.
  if (from == NO_SQUARE) from = least_attacker(board, side, square, occ);
  if (from == NO_SQUARE) return 0 >= threshold;
  int victim = board->squares[square];
  if (piece_type(victim) == KING) return 9999 >= threshold;
  if (optional && threshold <= 0) return true;
  int bound = exchange_value[piece_type(victim)] - threshold;
  bool negated = false;
  for (;;) {
    victim = board->squares[from];
    occ &= ~square_bit(from);
    side ^= 1;
    const int value = exchange_value[piece_type(victim)];
    bool at_most;
    if (bound < 0) {
      at_most = false;
    } else if (bound >= value) {
      at_most = true;
    } else {
      from = least_attacker(board, side, square, occ);
      if (from != NO_SQUARE && piece_type(victim) != KING) {
        bound = value - bound - 1;
        negated = !negated;
        continue;
      }
      at_most = from == NO_SQUARE || 9999 <= bound;
    }
    return at_most != negated;
  }
}

int swap(Board* board, int side, int from, int square, bool optional) {
  return swap(board, side, from, square, occupancy(board), optional);
}

bool see_ok(Board* board, Move move) {
  int from = move_from(move), to = move_to(move);
  int mover = board->squares[from], victim = board->squares[to];
  if (coarse_value[piece_type(mover)] <= coarse_value[piece_type(victim)] || piece_type(victim) == KING)
    return true;
  return swap_at_least(board, piece_colour(mover), from, to, occupancy(board), false, -74);
}
