#include "board/position_check.h"

#include <cstdio>
#include <cstring>

#include "board/attacks.h"
#include "board/board_thread.h"
#include "board/fen.h"
#include "core/message.h"

namespace {

const char* const colour_name[2] = {"white", "black"};
const char* const type_plural[7] = {"", "pawns", "knights", "bishops", "rooks", "queens", "kings"};

// Reasons that name a square or a piece are built here; the boundaries
// print them at once, on the main thread, before the next check.
char reason[48];

const char* too_many(int code) {
  std::snprintf(reason, sizeof reason, "too many %s %s", colour_name[piece_colour(code)],
                type_plural[piece_type(code)]);
  return reason;
}

const char* king_count_fault(int colour, int kings) {
  std::snprintf(reason, sizeof reason, kings ? "more than one %s king" : "no %s king", colour_name[colour]);
  return reason;
}

const char* king_fault(const Board* board) {
  for (int colour = WHITE; colour <= BLACK; colour++) {
    int kings = popcount(board->bb[make_piece(KING, colour)]);
    if (kings != 1) return king_count_fault(colour, kings);
  }
  return nullptr;
}

// Pieces the FEN reader dropped for want of room.
const char* crowded_fault(uint16_t crowded) {
  for (int code = 1; code < 16; code++) {
    if (!(crowded & (1 << code))) continue;
    return piece_type(code) == KING ? king_count_fault(piece_colour(code), 2) : too_many(code);
  }
  return nullptr;
}

// A pawn can promote to any piece, so each of a side's pawns counts against
// every piece list of that side: a promotion can then never overflow one.
const char* count_fault(const Board* board) {
  for (int colour = WHITE; colour <= BLACK; colour++) {
    int pawns = popcount(board->bb[make_piece(PAWN, colour)]);
    for (int type = PAWN; type < KING; type++) {
      int code = make_piece(type, colour);
      int count = popcount(board->bb[code]) + (type == PAWN ? 0 : pawns);
      if (count > piece_limit[type]) return too_many(code);
    }
  }
  return nullptr;
}

const char* pawn_fault(const Board* board) {
  constexpr Bitboard back_ranks = 0xFF000000000000FFull;
  Bitboard stray = (board->bb[WHITE_PAWN] | board->bb[BLACK_PAWN]) & back_ranks;
  if (!stray) return nullptr;
  int square = lsb(stray);
  std::snprintf(reason, sizeof reason, "%s pawn on %s", colour_name[piece_colour(board->squares[square])],
                square_name[square]);
  return reason;
}

bool castling_consistent(const Board* board) {
  const uint8_t* s = board->squares;
  if (board->castle > 15) return false;
  if ((board->castle & CASTLE_WK) && (s[4] != WHITE_KING || s[7] != WHITE_ROOK)) return false;
  if ((board->castle & CASTLE_WQ) && (s[4] != WHITE_KING || s[0] != WHITE_ROOK)) return false;
  if ((board->castle & CASTLE_BK) && (s[60] != BLACK_KING || s[63] != BLACK_ROOK)) return false;
  if ((board->castle & CASTLE_BQ) && (s[60] != BLACK_KING || s[56] != BLACK_ROOK)) return false;
  return true;
}

}  // namespace

bool en_passant_consistent(const Board* board) {
  int ep = board->ep;
  if (ep == NO_SQUARE) return true;
  if (ep > NO_SQUARE || board->side > 1) return false;  // (the side is judged elsewhere)
  int mover = board->side;
  int passed = mover == WHITE ? ep - 8 : ep + 8;
  return rank_of(ep) == (mover == WHITE ? 5 : 2) && board->squares[ep] == EMPTY &&
         board->squares[passed] == make_piece(PAWN, mover ^ 1);
}

const char* position_fault(const Board* board) {
  if (board->side > 1) return "no side to move";
  if (const char* fault = king_fault(board)) return fault;
  if (const char* fault = count_fault(board)) return fault;
  if (const char* fault = pawn_fault(board)) return fault;
  if (!castling_consistent(board)) return "castling right without king and rook at home";
  if (!en_passant_consistent(board)) return "no pawn passed the en-passant square";
  int waiting = board->side ^ 1;
  if (attacked(board, king_square(board, waiting), board->side)) {
    std::snprintf(reason, sizeof reason, "%s is in check with %s to move", colour_name[waiting],
                  colour_name[board->side]);
    return reason;
  }
  return nullptr;
}

const char* set_position(Board* board, const char* text) {
  PositionSnapshot before;
  take_snapshot(board, &before);
  FenReading reading = read_fen(board, text);
  const char* fault = crowded_fault(reading.crowded);
  if (!fault) fault = position_fault(board);
  if (fault) {
    restore_snapshot(board, before);
    return fault;
  }
  if (reading.castling_removed) print_message("Illegal EPD record");
  return nullptr;
}

void take_snapshot(const Board* board, PositionSnapshot* snapshot) {
  const BoardThread* thread = board->thread;
  snapshot->board = *board;
  snapshot->history_count = thread->history_count;
  snapshot->ply = thread->ply;
  snapshot->last_move = thread->last_move;
  std::memcpy(snapshot->first_records, thread->history, sizeof snapshot->first_records);
}

void restore_snapshot(Board* board, const PositionSnapshot& snapshot) {
  BoardThread* thread = board->thread;
  *board = snapshot.board;
  thread->history_count = snapshot.history_count;
  thread->ply = snapshot.ply;
  thread->last_move = snapshot.last_move;
  std::memcpy(thread->history, snapshot.first_records, sizeof snapshot.first_records);
}
