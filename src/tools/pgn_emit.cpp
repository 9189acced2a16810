#include "tools/pgn_emit.h"

#include <cstring>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/notation.h"
#include "search/game_position.h"

namespace {

bool within(int score, int bound) { return score > -bound && score < bound; }

const char* result_text(int result) {
  return result == 0 ? "1-0" : result == 1 ? "0-1" : "1/2-1/2";
}

// The move of ply i on the game board, or 0 when its text is no legal move.
Move read_move(const PgnGame& game, int i) {
  char text[PGN_MOVE_TEXT + 2];
  std::strcpy(text, game.moves[i]);
  Move move = 0;
  return parse_move(text, &move) ? move : 0;
}

bool play(Move move) { return play_game_move(move); }

void list_move(const PgnGame& game, int i, FILE* out, int* marked) {
  char prefix[16];
  if (i & 1) {
    std::strcpy(prefix, "     ");
  } else {
    std::snprintf(prefix, sizeof prefix, "%3d. ", i / 2 + 1);
  }
  char score_text[160] = "";
  int score = game.scores[i];
  if (pgn_has_score(score)) {
    std::snprintf(score_text, sizeof score_text, "%6.2f", (i & 1 ? -score : score) / 100.0);
  }
  if (is_blunder(game.scores, game.plies, i, game.result)) {
    char fen[FEN_BUFFER];
    board_to_fen(game_board(), fen);
    std::strcat(score_text, " ? ");
    std::strcat(score_text, fen);
    (*marked)++;
  }
  std::fprintf(out, "%s %-6s  {%s}\n", prefix, game.moves[i], score_text);
}

int emit_listing(const PgnGame& game, FILE* out) {
  int marked = 0;
  for (int i = 0; i < game.plies; i++) {
    Move move = read_move(game, i);
    if (!move) break;
    list_move(game, i, out, &marked);
    if (!play(move)) break;
  }
  std::fprintf(out, "\n");
  return marked;
}

void write_record(FILE* out, const PgnGame& game, int i) {
  char fen[FEN_BUFFER];
  board_to_fen(game_board(), fen);
  std::fprintf(out, "%s bm %s; ce %d;", fen, game.moves[i], game.scores[i]);
}

// Positions labelled with the game result, from the middle of decided play:
// not the opening, not dead shuffling, not after the game was already won.
// Moves without a score (opening moves are usually left bare) are passed
// over; only a real score can end the walk.
int emit_result_labelled(const PgnGame& game, FILE* out) {
  if (game.plies <= 6) return 0;
  const Board* board = game_board();
  int written = 0;
  int last_change = 0;
  uint32_t signature[2] = {board->signature[0], board->signature[1]};
  for (int i = 0; i < game.plies - 5 && i < 251; i++) {
    int score = game.scores[i];
    bool scored = pgn_has_score(score);
    if (scored && (score > 900 || score < -900)) break;
    Move move = read_move(game, i);
    if (!move) break;
    if (board->signature[0] != signature[0] || board->signature[1] != signature[1]) {
      signature[0] = board->signature[0];
      signature[1] = board->signature[1];
      last_change = i;
    }
    bool wanted = scored && i >= 20 && board->fifty <= 20 && i - last_change <= 30;
    if (wanted && !in_check(board)) {
      write_record(out, game, i);
      std::fprintf(out, " c9 \"%s\";\n", result_text(game.result));
      written++;
    }
    if (!play(move)) break;
  }
  return written;
}

int emit_scored(const PgnGame& game, FILE* out) {
  const Board* board = game_board();
  int written = 0;
  for (int i = 0; i < game.plies && i < 201; i++) {
    int score = game.scores[i];
    bool scored = pgn_has_score(score);
    Move move = read_move(game, i);
    if (!move) break;
    if (scored && !in_check(board)) {
      write_record(out, game, i);
      std::fprintf(out, "\n");
      written++;
    }
    if (scored && (score > 500 || score < -500)) break;
    if (!play(move)) break;
  }
  return written;
}

int emit_rook_endings(const PgnGame& game, FILE* out) {
  const Board* board = game_board();
  int written = 0;
  for (int i = 0; i < game.plies; i++) {
    Move move = read_move(game, i);
    if (!move) break;
    bool rooks_only = board->material[0] == 5 && board->material[1] == 5;
    if (rooks_only && popcount(board->bb[1] | board->bb[9]) == 1) {
      double value = 0.5;
      if (game.result != 2) value = game.result == board->side ? 1.0 : 0.0;
      write_record(out, game, i);
      std::fprintf(out, " tune %0.5f;\n", value);
      written++;
    }
    if (!play(move)) break;
  }
  return written;
}

}  // namespace

bool is_blunder(const int16_t* scores, int plies, int i, int result) {
  if (i < 6 || i >= plies - 5) return false;
  if (result == (i & 1)) return false;  // the mover won the game
  if (!within(scores[i], 150)) return false;
  for (int j = i - 3; j <= i + 3; j++) {
    if (j != i && !within(scores[j], 1000)) return false;
  }
  return scores[i + 1] - scores[i - 1] >= 41 && scores[i + 3] - scores[i - 3] >= 51;
}

int emit_game(const PgnGame& game, int mode, FILE* out) {
  set_game_position(START_FEN);
  switch (mode) {
    case 1: return emit_listing(game, out);
    case 2: return emit_result_labelled(game, out);
    case 3: return emit_scored(game, out);
    case 4: return emit_rook_endings(game, out);
    default: return 0;
  }
}
