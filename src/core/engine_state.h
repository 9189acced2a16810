#pragma once
// The two global records every layer shares: the engine's settings and the
// control and result block of the current search. The main thread writes
// the settings and the search threads read them. Fields that one thread
// polls while another writes them are atomic (`state`, `stop`) or go through
// the relaxed accessors of search_threads.h.
#include <atomic>
#include <cstdint>

#include "core/root_moves.h"

constexpr int MAX_PV = 66;          // principal variation length, and the depth limit
constexpr int MAX_PLY = 70;         // plies a thread can go deep: search stack and move lists
constexpr int MAX_THREADS = 64;

struct EngineSettings {
  uint8_t quit;            // the main loop ends when non-zero
  uint8_t builtin_pst;     // 1 while no complete parameter file has been loaded
  double noise;            // seconds before progress lines are printed; 9999 = quiet
  uint16_t log_enabled;    // copy output lines to the log while non-zero
  uint16_t trace_depth;    // search-tree trace depth, 0 = off
  uint16_t debug_display;  // console: 0 shows the board, else the evaluation breakdown
  char epd_file[140];      // EPD file of the analysis and the tuner
  char match_file[140];    // file given to the self-play match
  char book_file[142];     // opening book; empty means no book
  uint64_t tag_key;        // position key remembered by the console "tag"
  int16_t protocol;        // 0 console, 2 UCI
};

// Statistics summed over the search threads after each search.
struct SearchStats {
  uint64_t nodes;
  uint64_t eval_probes, eval_hits;
  uint64_t tt_probes, tt_hits;
  uint64_t pawn_probes, pawn_hits;
  uint64_t tbhits;
  double hash_fill;
};

struct SearchControl {
  uint8_t threads;           // search threads, 1..64
  uint8_t hash_mode;         // 0 = transposition table not used
  int16_t hash_mb;           // table size in megabytes, 0..8192
  int16_t ponder;            // UCI option Ponder
  int16_t multipv;           // 1..255
  uint8_t own_book;          // use the opening book
  uint8_t book_depth;        // book consulted while the game is at most this many plies
  int16_t book_variety;      // book move choice parameter
  int16_t draw_value[2];     // contempt per colour, set at each search start
  double overhead;           // communication overhead in seconds
  uint8_t root_side;         // side to move at the root of the current search
  std::atomic<uint8_t> state; // 0 idle, 1 thinking, 2 pondering, 3 analysing (read by the evaluation)
  uint8_t start_request;     // 0 none, 1 think, 2 ponder, 3 analyse
  int8_t max_depth;          // iteration limit, at most 66
  int64_t node_limit;        // 0 = none
  int16_t mate_limit;        // "go mate N": stop once a mate in N moves is published, 0 = none
  RootMoves root_moves;      // "go searchmoves": the root moves allowed, count 0 = all
  uint8_t level_moves;       // 0 whole game, 1 fixed time per move, n >= 2 moves per period
  double level_time;         // seconds per move or per period
  double increment;          // seconds added per move
  double clock[2];           // remaining time of white and black in seconds
  int16_t moves_to_go;       // moves left in the current period
  double target_time;        // time budget of the current move
  double elapsed;            // seconds since the search started
  // Polled by every search thread while others set it: atomic so that the
  // flag is seen promptly and the accesses are well-defined.
  std::atomic<uint8_t> stop; // 0 run, 1 stop and report, 2 abort, 3 no legal move, 99 terminate
  int16_t hash_age;          // transposition-table age
  int8_t completed_depth;    // last completed iteration
  int16_t best_score;        // score of the best move, -10000 at search start
  uint8_t best_bound;        // what best_score is: 3 exact, 2 a lower bound (interrupted fail high)
  uint16_t pv[MAX_PV + 2];   // principal variation from index 1, ended by 0
  int8_t best_change_depth;  // iteration at which the best move last changed
  uint8_t early_stop;        // 0 none, 1 only one legal move, 2 easy move
  uint8_t main_depth;        // iteration of the main search thread
  int8_t main_completed;     // its last finished iteration
  double main_completed_time;
  int32_t second_best;       // running best alternative root score (easy move)
  int16_t score_by_depth[70];
  uint16_t move_by_depth[70];
  SearchStats stats;
  char syzygy_path[130];     // tablebase directory list
  int16_t tb_probe_depth[3]; // minimum remaining depth for 5, 6 and 7 pieces
  int32_t tb_root_result;    // tablebase result of the root position, -1 when none
  uint16_t tb_root_move;     // move chosen by the root tablebase probe, 0 when none
  int32_t debug_counters[4];
};

extern EngineSettings settings;
extern SearchControl control;
extern int32_t uci_extra;  // "-uci_extra": extra fields in the UCI info line

inline uint16_t best_move() { return control.pv[1]; }
inline uint16_t ponder_move() { return control.pv[2]; }
