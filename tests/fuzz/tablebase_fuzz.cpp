// Tablebase files: real tables from the shared folder with their bytes
// replaced by the input. The first byte picks the table; the other kind of
// table of the same material is the real one. Positions of that material
// are then probed as the search and the root do.
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "core/engine_state.h"
#include "frontend/search_session.h"
#include "fuzz/fuzz_support.h"
#include "search/game_position.h"
#include "tablebases/tbprobe.h"

namespace {

// Small tables of every kind: pawnless and with pawns, win/draw/loss and
// distance to zeroing, symmetric and not.
const char* const tables[] = {
    "KQvK.rtbw", "KRvK.rtbw",   "KNvKN.rtbw",  "KBvKB.rtbw",  "KRRvK.rtbw",  "KPvK.rtbw",
    "KPvK.rtbz", "KQvK.rtbz",   "KRvKR.rtbz",  "KBvKP.rtbz",  "KRPvK.rtbw",  "KPPvK.rtbz",
};
constexpr int TABLES = sizeof tables / sizeof tables[0];
constexpr int POSITIONS = 8;

// A FEN of the material "KRPvK" with the pieces on random empty squares
// (pawns off the back ranks), colours and side to move drawn too. Every
// empty square is written as a run of one.
std::string random_fen(const std::string& material, std::minstd_rand& random) {
  std::string squares(64, '1');
  const bool swap = random() & 1;
  bool black = false;
  for (char letter : material) {
    if (letter == 'v') {
      black = true;
      continue;
    }
    int square;
    do square = static_cast<int>(random() % 64);
    while (squares[square] != '1' || (letter == 'P' && (square < 8 || square >= 56)));
    squares[square] = black != swap ? static_cast<char>(letter - 'A' + 'a') : letter;
  }
  std::string fen;
  for (int rank = 7; rank >= 0; rank--) fen += squares.substr(rank * 8, 8) + (rank ? "/" : "");
  return fen + (random() & 1 ? " w - -" : " b - -");
}

void probe_positions(const std::string& material, std::minstd_rand random) {
  for (int tries = 0, found = 0; tries < 8 * POSITIONS && found < POSITIONS; tries++) {
    if (set_game_position(random_fen(material, random).c_str())) continue;
    found++;
    egtb_search_wdl(game_board(), 100);
    uint32_t wdl = 0, dtz = 0;
    uint16_t move = 0;
    if (egtb_probe_root(game_board(), &wdl, &dtz, &move) != EGTB_NONE) {
      FUZZ_CHECK(wdl <= EGTB_WIN);
      FUZZ_CHECK(move == 0 || is_legal_game_move(move));
    }
    egtb_probe_search_root(game_board(), 0, RootMoves{});
  }
}

}  // namespace

TARN_FUZZ_TARGET(tablebase) {
  if (size == 0) return 0;
  const std::string table = tables[data[0] % TABLES];
  const std::string material = table.substr(0, table.find('.'));
  const bool wdl = table.back() == 'w';
  std::error_code ignored;
  std::filesystem::remove_all("tb", ignored);
  std::filesystem::create_directory("tb");
  fuzz_write_file("tb/" + table, data + 1, size - 1);
  const std::string other = material + (wdl ? ".rtbz" : ".rtbw");
  if (symlink((TARN_SHARED_DIR "/syzygy/" + other).c_str(), ("tb/" + other).c_str()) != 0)
    return 0;
  std::strcpy(control.syzygy_path, "tb");
  reload_tablebases();
  uint32_t seed = 2166136261u;
  for (size_t i = 0; i < size; i++) seed = (seed ^ data[i]) * 16777619u;
  probe_positions(material, std::minstd_rand(seed));
  return 0;
}
