#pragma once
// The text forms of a position.
#include "board/board.h"

inline constexpr const char* START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

constexpr int FEN_BUFFER = 82;  // longest four-field text plus its NUL

// What the reader had to leave out to stay inside the board.
struct FenReading {
  bool castling_removed;  // rights whose king or rook is not at home
  uint16_t crowded;       // bit per piece code: more of it than a side can have
};

// Sets up the board and its thread's game history from a FEN or EPD record
// and says nothing. Fields after the en-passant square are ignored.
// Malformed text never leads outside the board or the text: placement past
// the eighth rank, pieces beyond piece_limit of one code (a second king
// among them) and a piece on an occupied square are dropped; a record that
// ends early keeps the side to move and has no castling rights or en-passant
// square; an en-passant square that no double push can have produced is
// dropped. Castling rights whose king and rook are not at home are removed.
// The result need not be playable: see position_check.h.
FenReading read_fen(Board* board, const char* text);

// read_fen, then "Illegal EPD record" when castling rights were removed.
void parse_fen(Board* board, const char* text);

// Placement, side, castling and en passant; `out` holds at least FEN_BUFFER.
void board_to_fen(const Board* board, char* out);

// The FEN line and a diagram, to standard output and the log.
void print_board(const Board* board);
