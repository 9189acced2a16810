#include "board/makemove.h"

#include "board/board_thread.h"
#include "board/keys.h"
#include "board/legality.h"
#include "board/movegen.h"
#include "core/engine_state.h"

namespace {

// Rights lost when a piece leaves or arrives on a square.
constexpr uint8_t castle_mask_of(int sq) {
  return sq == 0 ? 2 : sq == 4 ? 3 : sq == 7 ? 1 : sq == 56 ? 8 : sq == 60 ? 12 : sq == 63 ? 4 : 0;
}
struct CastleMask {
  uint8_t value[64];
  constexpr CastleMask() : value() {
    for (int sq = 0; sq < 64; ++sq) value[sq] = castle_mask_of(sq);
  }
};
constexpr CastleMask castle_mask;

constexpr int pawn_step[2] = {8, -8};

inline void move_piece(Board* board, int code, int from, int to) {
  board->squares[to] = static_cast<uint8_t>(code);
  board->squares[from] = EMPTY;
  const uint8_t at = board->slot[from];
  board->plist[code][at] = static_cast<uint8_t>(to);
  board->slot[to] = at;
  Bitboard both = square_bit(from) | square_bit(to);
  board->bb[code] ^= both;
  board->bb[code & 8] ^= both;
}

}  // namespace

bool history_room(const Board* board) { return board->thread->history_count < GAME_HISTORY_LIMIT; }

void add_piece(Board* board, int code, int square) {
  int colour = piece_colour(code), type = piece_type(code);
  board->squares[square] = static_cast<uint8_t>(code);
  uint8_t* list = board->plist[code];
  int at = 0;
  while (list[at] != NO_SQUARE) ++at;
  list[at] = static_cast<uint8_t>(square);
  list[at + 1] = NO_SQUARE;
  board->slot[square] = static_cast<uint8_t>(at);
  board->bb[code] |= square_bit(square);
  board->bb[code & 8] |= square_bit(square);
  board->signature[colour] += signature_value[type];
  board->material[colour] += material_value[type];
}

void remove_piece(Board* board, int square) {
  int code = board->squares[square];
  int colour = piece_colour(code), type = piece_type(code);
  board->squares[square] = EMPTY;
  // The later pieces move up one place, so the list keeps its order.
  uint8_t* list = board->plist[code];
  for (int at = board->slot[square]; (list[at] = list[at + 1]) != NO_SQUARE; ++at)
    board->slot[list[at]] = static_cast<uint8_t>(at);
  board->bb[code] &= ~square_bit(square);
  board->bb[code & 8] &= ~square_bit(square);
  board->signature[colour] -= signature_value[type];
  board->material[colour] -= material_value[type];
}

bool make_move(Board* board, Move move) {
  BoardThread* thread = board->thread;
  if (thread->history_count >= HISTORY_SIZE) [[unlikely]] return false;
  if (settings.trace_depth && thread->tracer) [[unlikely]] thread->tracer(thread, move);

  int from = move_from(move), to = move_to(move);
  int side = board->side;
  int piece = board->squares[from], victim = board->squares[to];

  HistoryRecord& record = thread->history[thread->history_count++];
  ++thread->ply;
  record.last_move = thread->last_move;
  thread->last_move = move;
  record.move = move;
  record.captured = static_cast<uint8_t>(piece_type(victim));
  record.ep = board->ep;
  record.fifty = board->fifty;
  record.castle = board->castle;
  record.key = board->key;
  record.pawn_key = board->pawn_key;

  board->side = static_cast<uint8_t>(side ^ 1);
  board->ep = NO_SQUARE;
  ++board->fifty;
  board->castle &= static_cast<uint8_t>(~(castle_mask.value[from] | castle_mask.value[to]));

  if (victim) {
    remove_piece(board, to);
    board->key ^= zobrist[victim * 64 + to];
    if (piece_type(victim) == PAWN) board->pawn_key ^= zobrist[victim * 64 + to];
    board->fifty = 0;
  }
  move_piece(board, piece, from, to);
  board->key ^= zobrist[piece * 64 + from];

  if (piece_type(piece) == PAWN) {
    int step = pawn_step[side];
    board->fifty = 0;
    board->pawn_key ^= zobrist[piece * 64 + from] ^ zobrist[piece * 64 + to];
    board->key ^= zobrist[piece * 64 + to];
    if (to == from + 2 * step) {
      board->ep = static_cast<uint8_t>(from + step);
    } else if (to == record.ep) [[unlikely]] {
      int enemy_pawn = make_piece(PAWN, side ^ 1);
      remove_piece(board, to - step);
      board->key ^= zobrist[enemy_pawn * 64 + to - step];
      board->pawn_key ^= zobrist[enemy_pawn * 64 + to - step];
    } else if (is_promotion(move)) [[unlikely]] {
      int promoted = make_piece(promotion_type(move), side);
      remove_piece(board, to);
      board->key ^= zobrist[piece * 64 + to];
      board->pawn_key ^= zobrist[piece * 64 + to];
      add_piece(board, promoted, to);
      board->key ^= zobrist[promoted * 64 + to];
    }
    return true;
  }
  board->key ^= zobrist[piece * 64 + to];
  if (piece_type(piece) == KING && (to == from + 2 || to == from - 2)) [[unlikely]] {
    int rook = make_piece(ROOK, side);
    int rook_from = to > from ? from + 3 : from - 4, rook_to = to > from ? from + 1 : from - 1;
    move_piece(board, rook, rook_from, rook_to);
    board->key ^= zobrist[rook * 64 + rook_from] ^ zobrist[rook * 64 + rook_to];
    board->fifty = 0;
  }
  return true;
}

void unmake_move(Board* board) {
  BoardThread* thread = board->thread;
  const HistoryRecord& record = thread->history[--thread->history_count];
  --thread->ply;
  thread->last_move = record.last_move;

  int side = board->side ^ 1;  // the side that made the move
  board->side = static_cast<uint8_t>(side);
  board->ep = record.ep;
  board->castle = record.castle;
  board->fifty = record.fifty;

  Move move = record.move;
  int from = move_from(move), to = move_to(move);
  int piece = board->squares[to];
  move_piece(board, piece, to, from);
  if (record.captured) add_piece(board, make_piece(record.captured, side ^ 1), to);

  if (piece_type(piece) == PAWN && to == record.ep) [[unlikely]] {
    add_piece(board, make_piece(PAWN, side ^ 1), to - pawn_step[side]);
  } else if (piece_type(piece) == KING && (to == from + 2 || to == from - 2)) [[unlikely]] {
    int rook = make_piece(ROOK, side);
    if (to > from) move_piece(board, rook, from + 1, from + 3);
    else move_piece(board, rook, from - 1, from - 4);
  }
  if (is_promotion(move)) [[unlikely]] {
    remove_piece(board, from);
    add_piece(board, make_piece(PAWN, side), from);
  }
  board->key = record.key;
  board->pawn_key = record.pawn_key;
}

bool make_null(Board* board) {
  BoardThread* thread = board->thread;
  if (thread->history_count >= HISTORY_SIZE) return false;
  if (settings.trace_depth && thread->tracer) thread->tracer(thread, 0);
  HistoryRecord& record = thread->history[thread->history_count++];
  ++thread->ply;
  record.move = 0;
  record.captured = 0;
  record.ep = board->ep;
  record.fifty = board->fifty;
  record.castle = board->castle;
  record.key = board->key;
  board->side ^= 1;
  ++board->fifty;
  board->ep = NO_SQUARE;
  record.last_move = thread->last_move;
  thread->last_move = 0;
  return true;
}

void unmake_null(Board* board) {
  BoardThread* thread = board->thread;
  const HistoryRecord& record = thread->history[--thread->history_count];
  --thread->ply;
  board->ep = record.ep;
  board->castle = record.castle;
  board->fifty = record.fifty;
  board->key = record.key;
  board->side ^= 1;
  thread->last_move = record.last_move;
}

namespace {

bool has_legal_move(const Board* board, bool all_kinds) {
  MoveEntry list[MAX_MOVES];
  int side = board->side;
  MoveEntry* end = gen_pawn_captures(board, side, list);
  end = gen_piece_captures(board, side, end);
  end = gen_promotions(board, side, all_kinds, end);
  end = gen_quiets(board, side, end);
  for (MoveEntry* entry = list; entry != end; ++entry)
    if (is_legal(board, side, entry->move)) return true;
  return false;
}

}  // namespace

int is_draw(const Board* board, bool all_kinds, int reps) {
  if (board->fifty <= 3) return 0;
  if (board->fifty >= 100 && has_legal_move(board, all_kinds)) return 1;
  const BoardThread* thread = board->thread;
  int occurrences = 1;
  int oldest = thread->history_count - board->fifty;
  if (oldest < 0) oldest = 0;
  for (int i = thread->history_count - 4; i >= oldest; i -= 2) {
    if (thread->history[i].key != board->key) continue;
    if (++occurrences >= reps) return 2;
  }
  return 0;
}
