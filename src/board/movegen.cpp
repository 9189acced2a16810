#include "board/movegen.h"

#include <bit>
#include <cstring>

#include "board/attacks.h"
#include "board/board_thread.h"

namespace {

constexpr Bitboard FILE_A = 0x0101010101010101ull;
constexpr Bitboard FILE_H = FILE_A << 7;
constexpr Bitboard RANK_1 = 0xFFull;
constexpr Bitboard RANK_2 = RANK_1 << 8;
constexpr Bitboard RANK_7 = RANK_1 << 48;
constexpr Bitboard RANK_8 = RANK_1 << 56;

// An entry in two stores rather than four: the move word with the score of
// 0 above it, then the mover and the victim.
inline void write_entry(MoveEntry* out, int from, int to, uint8_t piece, uint8_t captured, Move flags = 0) {
  static_assert(sizeof(MoveEntry) == 6 && std::endian::native == std::endian::little);
  const uint32_t move_and_score = static_cast<uint32_t>(make_move_word(from, to) | flags);
  const uint16_t pieces = static_cast<uint16_t>(piece | captured << 8);
  std::memcpy(out, &move_and_score, sizeof move_and_score);
  std::memcpy(reinterpret_cast<unsigned char*>(out) + sizeof move_and_score, &pieces, sizeof pieces);
}

inline MoveEntry* add(MoveEntry* out, const Board* board, int from, int to, Move flags = 0) {
  write_entry(out, from, to, board->squares[from], board->squares[to], flags);
  return out + 1;
}

// A move onto a square known to be empty need not read it. The mover is read
// once by the caller: the entry's byte stores could alias the board's squares,
// so the compiler would otherwise read it again for every destination.
inline MoveEntry* add_quiet(MoveEntry* out, uint8_t piece, int from, int to) {
  write_entry(out, from, to, piece, EMPTY);
  return out + 1;
}

// One entry per destination in `targets`, in increasing order.
inline MoveEntry* add_all(MoveEntry* out, const Board* board, uint8_t piece, int from, Bitboard targets) {
  while (targets) {
    const int to = pop_lsb(targets);
    write_entry(out++, from, to, piece, board->squares[to]);
  }
  return out;
}

inline MoveEntry* add_all_quiet(MoveEntry* out, uint8_t piece, int from, Bitboard targets) {
  while (targets) out = add_quiet(out, piece, from, pop_lsb(targets));
  return out;
}

// Captures by all pawns shifted by `shift` (origin = destination - shift).
inline MoveEntry* pawn_captures_towards(MoveEntry* out, const Board* board, Bitboard pawns, int shift,
                                        Bitboard targets) {
  Bitboard b = (shift > 0 ? pawns << shift : pawns >> -shift) & targets;
  while (b) {
    int to = pop_lsb(b);
    out = add(out, board, to - shift, to);
  }
  return out;
}

inline MoveEntry* add_promotions(MoveEntry* out, const Board* board, int from, int to, bool all_kinds) {
  out = add(out, board, from, to, PROMOTE_QUEEN);
  if (all_kinds) {
    out = add(out, board, from, to, PROMOTE_KNIGHT);
    out = add(out, board, from, to, PROMOTE_BISHOP);
    out = add(out, board, from, to, PROMOTE_ROOK);
  }
  return out;
}

}  // namespace

MoveEntry* gen_pawn_captures(const Board* board, int side, MoveEntry* out) {
  Bitboard targets = board->bb[8 * (side ^ 1)];
  if (board->ep != NO_SQUARE) targets |= square_bit(board->ep);
  Bitboard pawns = board->bb[make_piece(PAWN, side)];
  if (side == WHITE) {
    pawns &= ~(RANK_7 | RANK_8);
    out = pawn_captures_towards(out, board, pawns & ~FILE_A, 7, targets);
    return pawn_captures_towards(out, board, pawns & ~FILE_H, 9, targets);
  }
  pawns &= ~(RANK_2 | RANK_1);
  out = pawn_captures_towards(out, board, pawns & ~FILE_H, -7, targets);
  return pawn_captures_towards(out, board, pawns & ~FILE_A, -9, targets);
}

MoveEntry* gen_piece_captures(const Board* board, int side, MoveEntry* out) {
  const int base = 8 * side;
  Bitboard enemies = board->bb[8 * (side ^ 1)];
  Bitboard occ = occupancy(board);
  for (const uint8_t* sq = board->plist[base + KNIGHT]; *sq != NO_SQUARE; ++sq)
    out = add_all(out, board, make_piece(KNIGHT, side), *sq, knight_attacks[*sq] & enemies);
  for (const uint8_t* sq = board->plist[base + BISHOP]; *sq != NO_SQUARE; ++sq)
    out = add_all(out, board, make_piece(BISHOP, side), *sq, bishop_attacks(*sq, occ) & enemies);
  for (const uint8_t* sq = board->plist[base + ROOK]; *sq != NO_SQUARE; ++sq)
    out = add_all(out, board, make_piece(ROOK, side), *sq, rook_attacks(*sq, occ) & enemies);
  for (const uint8_t* sq = board->plist[base + QUEEN]; *sq != NO_SQUARE; ++sq)
    out = add_all(out, board, make_piece(QUEEN, side), *sq, queen_attacks(*sq, occ) & enemies);
  for (const uint8_t* sq = board->plist[base + KING]; *sq != NO_SQUARE; ++sq)
    out = add_all(out, board, make_piece(KING, side), *sq, king_attacks[*sq] & enemies);
  return out;
}

MoveEntry* gen_promotions_of(const Board* board, int side, Bitboard pawns, bool all_kinds, MoveEntry* out) {
  const int ahead = side == WHITE ? 8 : -8;
  Bitboard enemies = board->bb[8 * (side ^ 1)];
  while (pawns) {
    int from = pop_lsb(pawns), to = from + ahead;
    if (board->squares[to] == EMPTY) out = add_promotions(out, board, from, to, all_kinds);
    if (file_of(from) != 0 && (enemies & square_bit(to - 1)))
      out = add_promotions(out, board, from, to - 1, all_kinds);
    if (file_of(from) != 7 && (enemies & square_bit(to + 1)))
      out = add_promotions(out, board, from, to + 1, all_kinds);
  }
  return out;
}

namespace {

MoveEntry* pawn_pushes(const Board* board, int side, MoveEntry* out) {
  const int ahead = side == WHITE ? 8 : -8;
  const int start_rank = side == WHITE ? 1 : 6;
  const int seventh = side == WHITE ? 6 : 1, last = side == WHITE ? 7 : 0;
  for (const uint8_t* sq = board->plist[make_piece(PAWN, side)]; *sq != NO_SQUARE; ++sq) {
    int from = *sq, rank = rank_of(from);
    // A pawn set up on its last rank has nowhere to go.
    if (rank == seventh || rank == last || board->squares[from + ahead] != EMPTY) continue;
    out = add_quiet(out, make_piece(PAWN, side), from, from + ahead);
    if (rank == start_rank && board->squares[from + 2 * ahead] == EMPTY)
      out = add_quiet(out, make_piece(PAWN, side), from, from + 2 * ahead);
  }
  return out;
}

MoveEntry* castling(const Board* board, int side, MoveEntry* out) {
  const int king = side == WHITE ? 4 : 60;
  const uint8_t king_side = side == WHITE ? CASTLE_WK : CASTLE_BK;
  const uint8_t queen_side = side == WHITE ? CASTLE_WQ : CASTLE_BQ;
  if (board->squares[king] != make_piece(KING, side)) return out;
  Bitboard occ = occupancy(board);
  if ((board->castle & king_side) && !(occ & (square_bit(king + 1) | square_bit(king + 2))))
    out = add_quiet(out, make_piece(KING, side), king, king + 2);
  if ((board->castle & queen_side) &&
      !(occ & (square_bit(king - 1) | square_bit(king - 2) | square_bit(king - 3))))
    out = add_quiet(out, make_piece(KING, side), king, king - 2);
  return out;
}

}  // namespace

MoveEntry* gen_quiets(const Board* board, int side, MoveEntry* out) {
  const int base = 8 * side;
  Bitboard occ = occupancy(board), empty = ~occ;
  out = pawn_pushes(board, side, out);
  for (const uint8_t* sq = board->plist[base + KNIGHT]; *sq != NO_SQUARE; ++sq)
    out = add_all_quiet(out, make_piece(KNIGHT, side), *sq, knight_attacks[*sq] & empty);
  for (const uint8_t* sq = board->plist[base + BISHOP]; *sq != NO_SQUARE; ++sq)
    out = add_all_quiet(out, make_piece(BISHOP, side), *sq, bishop_attacks(*sq, occ) & empty);
  for (const uint8_t* sq = board->plist[base + ROOK]; *sq != NO_SQUARE; ++sq)
    out = add_all_quiet(out, make_piece(ROOK, side), *sq, rook_attacks(*sq, occ) & empty);
  for (const uint8_t* sq = board->plist[base + QUEEN]; *sq != NO_SQUARE; ++sq)
    out = add_all_quiet(out, make_piece(QUEEN, side), *sq, queen_attacks(*sq, occ) & empty);
  for (const uint8_t* sq = board->plist[base + KING]; *sq != NO_SQUARE; ++sq)
    out = add_all_quiet(out, make_piece(KING, side), *sq, king_attacks[*sq] & empty);
  return castling(board, side, out);
}

MoveEntry* gen_full_list(const Board* board, int side, MoveEntry* out) {
  out = gen_pawn_captures(board, side, out);
  out = gen_piece_captures(board, side, out);
  out = gen_promotions(board, side, true, out);
  out = gen_quiets(board, side, out);
  out->move = MOVE_END;
  return out;
}

MoveEntry* gen_all(Board* board) {
  BoardThread* thread = board->thread;
  MoveEntry* start = thread->list_start[thread->ply];
  MoveEntry* end = gen_full_list(board, board->side, start);
  thread->list_start[thread->ply + 1] = end + 1;
  return start;
}
