#include "eval/params.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "board/types.h"
#include "core/engine_state.h"
#include "eval/evaluate.h"

ParamBlock params;
ParamBlock default_params;
uint32_t eval_tables_generation = 0;

ParamEntry param_registry[PARAM_ENTRIES_MAX];
int param_count = 0;

namespace {

// Tables round half away from zero, which std::round does.
int16_t round16(double x) { return static_cast<int16_t>(std::lround(x)); }

int16_t clamp16(int v) {
  if (v > 32767) return 32767;
  if (v < -32768) return -32768;
  return static_cast<int16_t>(v);
}

// A configuration key and the fields its values go to (second may be null
// for keys that take a single value).
struct ConfigKey {
  const char* key;
  int16_t ParamBlock::*first;
  int16_t ParamBlock::*second;
};

const ConfigKey config_keys[] = {
    {"pawn_value", &ParamBlock::pawn_value_op, &ParamBlock::pawn_value_en},
    {"knight_value", &ParamBlock::knight_value_op, &ParamBlock::knight_value_en},
    {"bishop_value", &ParamBlock::bishop_value_op, &ParamBlock::bishop_value_en},
    {"rook_value", &ParamBlock::rook_value_op, &ParamBlock::rook_value_en},
    {"queen_value", &ParamBlock::queen_value_op, &ParamBlock::queen_value_en},
    {"bishop_pair", &ParamBlock::bishop_pair_op, &ParamBlock::bishop_pair_en},
    {"knight_mobility", &ParamBlock::knight_mobility_op, &ParamBlock::knight_mobility_en},
    {"bishop_mobility", &ParamBlock::bishop_mobility_op, &ParamBlock::bishop_mobility_en},
    {"rook_mobility", &ParamBlock::rook_mobility_op, &ParamBlock::rook_mobility_en},
    {"queen_mobility", &ParamBlock::queen_mobility_op, &ParamBlock::queen_mobility_en},
    {"passed_pawn_rank2", &ParamBlock::ppawn_r2, nullptr},
    {"passed_pawn_rank3", &ParamBlock::ppawn_r3, nullptr},
    {"passed_pawn_rank4", &ParamBlock::ppawn_r4, nullptr},
    {"passed_pawn_rank5", &ParamBlock::ppawn_r5, nullptr},
    {"passed_pawn_rank6", &ParamBlock::ppawn_r6, nullptr},
    {"passed_pawn_rank7", &ParamBlock::ppawn_r7, nullptr},
    {"pawn_candidate", &ParamBlock::pawn_candidate_op, &ParamBlock::pawn_candidate},
    {"pawn_doubled", &ParamBlock::pawn_doubled_op, &ParamBlock::pawn_doubled_en},
    {"pawn_backward", &ParamBlock::pawn_backward_op, &ParamBlock::pawn_backward_en},
    {"pawn_isolated", &ParamBlock::pawn_isolated_op, &ParamBlock::pawn_isolated_en},
    {"pawn_weak", &ParamBlock::pawn_weak_op, &ParamBlock::pawn_weak_en},
    {"knight_outpost", &ParamBlock::knight_outpost, &ParamBlock::knight_outpost_en},
    {"rook_open_file", &ParamBlock::rook_open_file_op, &ParamBlock::rook_open_file_en},
    {"rook_half_open_file", &ParamBlock::rook_half_open_file_op,
     &ParamBlock::rook_half_open_file_en},
    {"rook_rank7", &ParamBlock::rook_rank7_op, &ParamBlock::rook_rank7_en},
    {"rook_trapped", &ParamBlock::rook_trapped, &ParamBlock::rook_trapped_en},
    {"queen_rank7", &ParamBlock::queen_rank7_op, &ParamBlock::queen_rank7_en},
    {"king_safety", &ParamBlock::king_safety, &ParamBlock::king_safety_en},
    {"pawn_shield", &ParamBlock::pawn_shield, &ParamBlock::pawn_shield_en},
    {"pawn_storm", &ParamBlock::pawn_storm, &ParamBlock::pawn_storm_en},
    {"hung", &ParamBlock::hung_op, &ParamBlock::hung_en},
    {"pinned", &ParamBlock::pinned_op, &ParamBlock::pinned_en},
    {"tune", &ParamBlock::tune, nullptr},
};

struct SearchKey {
  const char* key;
  int16_t SearchParams::*field;
};

const SearchKey search_keys[] = {
    {"draw_score", &SearchParams::draw_score}, {"SEP_depth", &SearchParams::SEP_depth},
    {"NMP_depth", &SearchParams::NMP_depth},   {"FP_depth", &SearchParams::FP_depth},
    {"LMP_depth", &SearchParams::LMP_depth},   {"LMR_depth", &SearchParams::LMR_depth},
    {"LMP_count", &SearchParams::LMP_count},   {"LMR_strength", &SearchParams::LMR_strength},
    {"SEP_margin", &SearchParams::SEP_margin}, {"FP_margin", &SearchParams::FP_margin},
};

const char* const pst_names[7][2] = {
    {"", ""},
    {"PST_pawn_op", "PST_pawn_en"},
    {"PST_knight_op", "PST_knight_en"},
    {"PST_bishop_op", "PST_bishop_en"},
    {"PST_rook_op", "PST_rook_en"},
    {"PST_queen_op", "PST_queen_en"},
    {"PST_king_op", "PST_king_en"},
};

// Registry names in their fixed order, each with its field; the 64 pst_
// names follow the scales and "tune" comes last.
struct NamedField {
  const char* name;
  int16_t ParamBlock::*field;
};

const NamedField registry_fields[] = {
    {"pawn_value_op", &ParamBlock::pawn_value_op},
    {"pawn_value_en", &ParamBlock::pawn_value_en},
    {"knight_value_op", &ParamBlock::knight_value_op},
    {"knight_value_en", &ParamBlock::knight_value_en},
    {"bishop_value_op", &ParamBlock::bishop_value_op},
    {"bishop_value_en", &ParamBlock::bishop_value_en},
    {"rook_value_op", &ParamBlock::rook_value_op},
    {"rook_value_en", &ParamBlock::rook_value_en},
    {"queen_value_op", &ParamBlock::queen_value_op},
    {"queen_value_en", &ParamBlock::queen_value_en},
    {"bishop_pair_op", &ParamBlock::bishop_pair_op},
    {"bishop_pair_en", &ParamBlock::bishop_pair_en},
    {"ppawn_r2", &ParamBlock::ppawn_r2},
    {"ppawn_r3", &ParamBlock::ppawn_r3},
    {"ppawn_r4", &ParamBlock::ppawn_r4},
    {"ppawn_r5", &ParamBlock::ppawn_r5},
    {"ppawn_r6", &ParamBlock::ppawn_r6},
    {"ppawn_r7", &ParamBlock::ppawn_r7},
    {"pawn_candidate", &ParamBlock::pawn_candidate},
    {"pawn_isolated_op", &ParamBlock::pawn_isolated_op},
    {"pawn_isolated_en", &ParamBlock::pawn_isolated_en},
    {"pawn_backward_op", &ParamBlock::pawn_backward_op},
    {"pawn_backward_en", &ParamBlock::pawn_backward_en},
    {"pawn_doubled_op", &ParamBlock::pawn_doubled_op},
    {"pawn_doubled_en", &ParamBlock::pawn_doubled_en},
    {"pawn_weak_op", &ParamBlock::pawn_weak_op},
    {"pawn_weak_en", &ParamBlock::pawn_weak_en},
    {"knight_mobility_op", &ParamBlock::knight_mobility_op},
    {"knight_mobility_en", &ParamBlock::knight_mobility_en},
    {"knight_outpost", &ParamBlock::knight_outpost},
    {"bishop_mobility_op", &ParamBlock::bishop_mobility_op},
    {"bishop_mobility_en", &ParamBlock::bishop_mobility_en},
    {"rook_mobility_op", &ParamBlock::rook_mobility_op},
    {"rook_mobility_en", &ParamBlock::rook_mobility_en},
    {"queen_mobility_op", &ParamBlock::queen_mobility_op},
    {"queen_mobility_en", &ParamBlock::queen_mobility_en},
    {"rook_open_file_op", &ParamBlock::rook_open_file_op},
    {"rook_open_file_en", &ParamBlock::rook_open_file_en},
    {"rook_half_open_file_op", &ParamBlock::rook_half_open_file_op},
    {"rook_half_open_file_en", &ParamBlock::rook_half_open_file_en},
    {"rook_rank7_op", &ParamBlock::rook_rank7_op},
    {"rook_rank7_en", &ParamBlock::rook_rank7_en},
    {"rook_trapped", &ParamBlock::rook_trapped},
    {"queen_rank7_op", &ParamBlock::queen_rank7_op},
    {"queen_rank7_en", &ParamBlock::queen_rank7_en},
    {"king_safety", &ParamBlock::king_safety},
    {"pawn_shield", &ParamBlock::pawn_shield},
    {"pawn_storm", &ParamBlock::pawn_storm},
    {"hung_op", &ParamBlock::hung_op},
    {"hung_en", &ParamBlock::hung_en},
    {"pinned_op", &ParamBlock::pinned_op},
    {"pinned_en", &ParamBlock::pinned_en},
    {"PST_P_op", &ParamBlock::PST_P_op},
    {"PST_P_en", &ParamBlock::PST_P_en},
    {"PST_N_op", &ParamBlock::PST_N_op},
    {"PST_N_en", &ParamBlock::PST_N_en},
    {"PST_B_op", &ParamBlock::PST_B_op},
    {"PST_B_en", &ParamBlock::PST_B_en},
    {"PST_R_op", &ParamBlock::PST_R_op},
    {"PST_R_en", &ParamBlock::PST_R_en},
    {"PST_Q_op", &ParamBlock::PST_Q_op},
    {"PST_Q_en", &ParamBlock::PST_Q_en},
    {"PST_K_op", &ParamBlock::PST_K_op},
    {"PST_K_en", &ParamBlock::PST_K_en},
};

bool registry_filled = false;

void add_entry(const char* name, int16_t* value) {
  if (param_count >= PARAM_ENTRIES_MAX) return;
  ParamEntry& e = param_registry[param_count++];
  std::strncpy(e.name, name, sizeof e.name - 1);
  e.name[sizeof e.name - 1] = 0;
  e.value = value;
  e.estimate = *value;
  e.accumulator = 0;
  e.selected = 0;
}

}  // namespace

void set_default_params(ParamBlock& b) {
  b.search = SearchParams{0, 3, 3, 3, 4, 3, 3, 100, 75, 150};
  b.pawn_value_op = 90, b.pawn_value_en = 110;
  b.knight_value_op = 380, b.knight_value_en = 360;
  b.bishop_value_op = 390, b.bishop_value_en = 370;
  b.rook_value_op = 530, b.rook_value_en = 650;
  b.queen_value_op = 1150, b.queen_value_en = 1190;
  b.bishop_pair_op = 30, b.bishop_pair_en = 50;
  b.ppawn_r2 = 7, b.ppawn_r3 = 7, b.ppawn_r4 = 18;
  b.ppawn_r5 = 38, b.ppawn_r6 = 78, b.ppawn_r7 = 138;
  b.pawn_candidate_op = 0, b.pawn_candidate = 48;
  b.pawn_isolated_op = -8, b.pawn_isolated_en = -8;
  b.pawn_backward_op = -4, b.pawn_backward_en = -4;
  b.pawn_doubled_op = -5, b.pawn_doubled_en = -5;
  b.pawn_weak_op = -8, b.pawn_weak_en = -4;
  b.knight_mobility_op = 44, b.knight_mobility_en = 56;
  b.knight_outpost = 16, b.knight_outpost_en = 0;
  b.bishop_mobility_op = 40, b.bishop_mobility_en = 54;
  b.rook_mobility_op = 40, b.rook_mobility_en = 54;
  b.queen_mobility_op = 40, b.queen_mobility_en = 90;
  b.rook_open_file_op = 14, b.rook_open_file_en = 7;
  b.rook_half_open_file_op = 7, b.rook_half_open_file_en = 7;
  b.rook_rank7_op = 16, b.rook_rank7_en = 16;
  b.rook_trapped = -25, b.rook_trapped_en = 0;
  b.queen_rank7_op = 0, b.queen_rank7_en = 14;
  b.king_safety = 100, b.king_safety_en = 0;
  b.pawn_shield = 6, b.pawn_shield_en = 0;
  b.pawn_storm = -12, b.pawn_storm_en = 0;
  b.hung_op = -16, b.hung_en = -24;
  b.pinned_op = -16, b.pinned_en = -24;
  b.PST_P_op = 40, b.PST_P_en = 10, b.PST_N_op = 44, b.PST_N_en = 44;
  b.PST_B_op = 12, b.PST_B_en = 12, b.PST_R_op = 14, b.PST_R_en = 0;
  b.PST_Q_op = 12, b.PST_Q_en = 20, b.PST_K_op = 42, b.PST_K_en = 58;
  b.tune = 256;
}

bool apply_config_param(ParamBlock& block, const char* key, int a, int b) {
  for (const SearchKey& k : search_keys) {
    if (std::strcmp(k.key, key) == 0) {
      block.search.*k.field = clamp16(a);
      return true;
    }
  }
  for (const ConfigKey& k : config_keys) {
    if (std::strcmp(k.key, key) == 0) {
      block.*k.first = clamp16(a);
      if (k.second) block.*k.second = clamp16(b);
      return true;
    }
  }
  return false;
}

const char* pst_config_name(int type, int phase) {
  if (type < 1 || type > 6 || phase < 0 || phase > 1) return "";
  return pst_names[type][phase];
}

void clear_pst(ParamBlock& block) {
  for (int type = 1; type <= 6; type++)
    for (int sq = 0; sq < 64; sq++) block.pst[type][sq] = OpEn{PST_UNSET, PST_UNSET};
}

bool pst_complete(const ParamBlock& block) {
  for (int type = 1; type <= 6; type++)
    for (int sq = 0; sq < 64; sq++)
      if (block.pst[type][sq].op == PST_UNSET || block.pst[type][sq].en == PST_UNSET)
        return false;
  return true;
}

void save_default_params() { default_params = params; }

void fill_pst_tunables() {
  for (int sq = 0; sq < 64; sq++) params.pst_tunable[sq] = params.pst[KING][sq].op;
}

void restore_default_params() {
  params = default_params;
  init_eval_tables();
}

void register_params() {
  if (registry_filled) return;
  registry_filled = true;
  for (const NamedField& f : registry_fields) add_entry(f.name, &(params.*f.field));
  static const char files[] = "abcdefgh";
  for (int sq = 0; sq < 64; sq++) {
    char name[8] = {'p', 's', 't', '_', files[sq & 7], static_cast<char>('1' + (sq >> 3)), 0};
    add_entry(name, &params.pst_tunable[sq]);
  }
  add_entry("tune", &params.tune);
}

ParamEntry* find_param(const char* name) {
  for (int i = 0; i < param_count; i++)
    if (std::strcmp(param_registry[i].name, name) == 0) return &param_registry[i];
  return nullptr;
}

void select_param(const char* name) {
  ParamEntry* e = find_param(name);
  if (e) e->selected = 1;
}

// ---- Derived tables ----

namespace {

// Mobility saturates: the curve is a shifted exponential approach whose
// offset puts zero at an average number of moves for the piece.
void build_mobility(OpEn* table, int count, int span, double offset, int op, int en,
                    double scale) {
  for (int n = 0; n < count; n++) {
    double g = (1.0 - std::exp(-1.4 * n / span)) * 1.3273108179013147 - offset;
    table[n].op = round16(op * g * scale);
    table[n].en = round16(en * g * scale);
  }
}

void build_passed_tables(ParamBlock& b) {
  const int16_t r[8] = {0, b.ppawn_r2, b.ppawn_r3, b.ppawn_r4, b.ppawn_r5, b.ppawn_r6,
                        b.ppawn_r7, 250};
  for (int i = 0; i < 8; i++) b.ppawn[i] = r[i];
  b.ppawn_free[0] = 0;
  for (int i = 2; i <= 6; i++) b.ppawn_free[i] = round16(0.6 * (r[i + 1] - r[i]));
  b.ppawn_free[1] = b.ppawn_free[2];
  b.ppawn_free[7] = 0;
  const int16_t phalanx[8] = {0, 0, 0, 5, 18, 32, 32, 0};
  for (int i = 0; i < 8; i++) b.phalanx[i] = phalanx[i];
}

// The danger curve grows a little faster than quadratically, but each step
// may rise by at most 44 - i so it flattens out near the cap.
void build_king_danger(ParamBlock& b) {
  for (int i = 0; i < 6; i++) b.king_danger[i] = 0;
  for (int i = 6; i < 32; i++) {
    int v = std::lround(std::pow(i - 5, 1.9) * b.king_safety * 0.018);
    if (v < 0) v = 0;
    int limit = b.king_danger[i - 1] + 44 - i;
    b.king_danger[i] = clamp16(v < limit ? v : limit);
  }
}

void build_pst(ParamBlock& b) {
  static const int F[8] = {-5, -2, 0, 1, 1, 0, -2, -5};
  static const int pawn_shape[64] = {
      0,  0, 0, 0,  0,  0, 0, 0,   -1, 0, 0, -1, -1, 0, 0, -1,
      -1, 0, 0, 1,  1,  0, 0, -1,  -1, 0, 1, 2,  2,  1, 0, -1,
      0,  1, 2, 2,  2,  2, 1, 0,   0,  1, 2, 2,  2,  2, 1, 0,
      0,  1, 1, 1,  1,  1, 1, 0,   0,  0, 0, 0,  0,  0, 0, 0};
  static const int pawn_advance[8] = {0, 0, 1, 2, 4, 6, 6, 0};
  static const int K[8] = {0, -1, -2, -3, -4, -4, -4, -4};
  static const int KF[8] = {1, 1, 0, -1, -1, 0, 1, 1};
  for (int sq = 0; sq < 64; sq++) {
    int f = sq & 7, r = sq >> 3;
    int c = F[r] + F[f];
    b.pst[1][sq] = OpEn{clamp16(pawn_shape[sq] * b.PST_P_op / 8),
                        clamp16(pawn_advance[r] * b.PST_P_en / 8)};
    b.pst[2][sq] = OpEn{clamp16(c * b.PST_N_op / 12), clamp16(c * b.PST_N_en / 12)};
    b.pst[3][sq] = OpEn{clamp16(c * b.PST_B_op / 12), clamp16(c * b.PST_B_en / 12)};
    b.pst[4][sq] = OpEn{clamp16(F[f] * b.PST_R_op / 12), clamp16(c * b.PST_R_en / 12)};
    b.pst[5][sq] = OpEn{clamp16(c * b.PST_Q_op / 12 - (r >= 4 ? 4 : 0)),
                        clamp16(c * b.PST_Q_en / 12)};
    b.pst[6][sq] = OpEn{clamp16(2 * (K[r] + KF[f]) * b.PST_K_op / 12),
                        clamp16(c * b.PST_K_en / 12)};
  }
}

}  // namespace

void init_eval_tables() {
  init_eval();  // the fixed tables and the bitbase, once
  ParamBlock& b = params;
  build_mobility(b.mob_knight, 9, 8, 0.5421329833896871, b.knight_mobility_op,
                 b.knight_mobility_en, 1.0);
  build_mobility(b.mob_bishop, 15, 14, 0.3440147794920671, b.bishop_mobility_op,
                 b.bishop_mobility_en, 1.0);
  build_mobility(b.mob_rook, 15, 14, 0.3440147794920671, b.rook_mobility_op,
                 b.rook_mobility_en, 0.83);
  build_mobility(b.mob_queen, 29, 28, 0.32986687739529086, b.queen_mobility_op,
                 b.queen_mobility_en, 1.0);
  build_passed_tables(b);
  build_king_danger(b);
  if (settings.builtin_pst) build_pst(b);
  eval_tables_generation++;
}
