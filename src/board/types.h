#pragma once
// The vocabulary every subsystem shares: squares, piece codes, the packed
// move word, move-list entries and the undo record of the game history.
#include <cstdint>

// Squares: a1 = 0, b1 = 1, ..., h8 = 63. NO_SQUARE ends square lists and
// stands for "no en-passant square".
constexpr int NO_SQUARE = 64;

constexpr int WHITE = 0;
constexpr int BLACK = 1;

// Piece types (code & 7) and piece codes (type + 8 * colour). Code 0 is an
// empty square; code 8 alone indexes the all-black slots of the bitboards.
enum : uint8_t { EMPTY = 0, PAWN = 1, KNIGHT = 2, BISHOP = 3, ROOK = 4, QUEEN = 5, KING = 6 };
enum : uint8_t {
  WHITE_PAWN = 1, WHITE_KNIGHT = 2, WHITE_BISHOP = 3, WHITE_ROOK = 4, WHITE_QUEEN = 5, WHITE_KING = 6,
  BLACK_PAWN = 9, BLACK_KNIGHT = 10, BLACK_BISHOP = 11, BLACK_ROOK = 12, BLACK_QUEEN = 13, BLACK_KING = 14,
};

// Castling rights.
enum : uint8_t { CASTLE_WK = 1, CASTLE_WQ = 2, CASTLE_BK = 4, CASTLE_BQ = 8 };

constexpr int piece_type(int code) { return code & 7; }
constexpr int piece_colour(int code) { return code >> 3; }
constexpr int make_piece(int type, int colour) { return type + 8 * colour; }
constexpr int file_of(int square) { return square & 7; }
constexpr int rank_of(int square) { return square >> 3; }
constexpr int make_square(int file, int rank) { return rank * 8 + file; }

// "a1" .. "h8", indexed by square.
extern const char* const square_name[64];

// A move: destination bits 0-5, origin bits 8-13, at most one promotion bit.
// Castling (king moving two files) and en passant carry no flag. 0 is "no
// move" and what a null move records; MOVE_END terminates move lists.
using Move = uint16_t;
constexpr Move MOVE_NONE = 0;
constexpr Move MOVE_END = 0xFFFF;
constexpr Move PROMOTE_QUEEN = 0x0040;
constexpr Move PROMOTE_KNIGHT = 0x0080;
constexpr Move PROMOTE_BISHOP = 0x4000;
constexpr Move PROMOTE_ROOK = 0x8000;
constexpr Move PROMOTION_MASK = 0xC0C0;

constexpr int move_to(Move move) { return move & 63; }
constexpr int move_from(Move move) { return (move >> 8) & 63; }
constexpr bool is_promotion(Move move) { return (move & PROMOTION_MASK) != 0; }
constexpr Move make_move_word(int from, int to) { return static_cast<Move>((from << 8) | to); }

// Piece type a promotion move produces (0 when the move does not promote).
constexpr int promotion_type(Move move) {
  return (move & PROMOTE_QUEEN)    ? QUEEN
         : (move & PROMOTE_KNIGHT) ? KNIGHT
         : (move & PROMOTE_BISHOP) ? BISHOP
         : (move & PROMOTE_ROOK)   ? ROOK
                                   : 0;
}

// One element of a generated move list; a list ends with move == MOVE_END.
struct MoveEntry {
  Move move;
  int16_t score;     // filled by move ordering
  uint8_t piece;     // code of the moving piece
  uint8_t captured;  // code on the destination (0 for quiet moves, castling, en passant)
};

// The undo record pushed by every make; also what repetition detection reads.
struct HistoryRecord {
  Move move;          // 0 for a null move
  uint8_t captured;   // captured piece type, 0 for none and for en passant
  uint8_t ep;         // state before the move
  uint8_t fifty;
  uint8_t castle;
  Move last_move;     // the thread's last move before this one, for unmake
  uint64_t key;       // piece-placement key before the move
  uint64_t pawn_key;  // not written by a null move
};

constexpr int HISTORY_SIZE = 800;
