#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "eval/params.h"
#include "eval_support.h"

using eval_test::reset_params;
using eval_test::thread;

namespace {

int sq(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

// Every test starts from the default parameters and their tables.
class Params : public testing::Test {
 protected:
  void SetUp() override {
    thread();
    reset_params();
  }
};

TEST_F(Params, DefaultDerivedTables) {
  const ParamBlock& p = params;
  const std::tuple<const OpEn*, int, int, int> entries[] = {
      {p.mob_knight, 0, -24, -30},      {p.mob_knight, 3, 0, 0},         {p.mob_knight, 8, 20, 26},
      {p.mob_bishop, 14, 26, 35},       {p.mob_rook, 14, 22, 29},        {p.mob_queen, 0, -13, -30},
      {p.mob_queen, 28, 27, 60},        {p.pst[KNIGHT], sq("d4"), 7, 7}, {p.pst[KNIGHT], sq("a1"), -36, -36},
      {p.pst[KING], sq("g1"), 7, -33},  {p.pst[KING], sq("e1"), -7, -19}, {p.pst[PAWN], sq("e4"), 10, 2},
      {p.pst[PAWN], sq("e2"), -5, 0},
  };
  for (const auto& [table, index, op, en] : entries)
    EXPECT_EQ((std::pair<int, int>(table[index].op, table[index].en)), std::pair(op, en)) << index;
  auto row = [](const auto* table, int n) { return std::vector<int>(table, table + n); };
  EXPECT_EQ(row(p.ppawn, 8), (std::vector<int>{0, 7, 7, 18, 38, 78, 138, 250}));
  EXPECT_EQ(row(p.ppawn_free, 8), (std::vector<int>{0, 7, 7, 12, 24, 36, 67, 0}));
  EXPECT_EQ(row(p.phalanx, 8), (std::vector<int>{0, 0, 0, 5, 18, 32, 32, 0}));
  EXPECT_EQ(row(p.king_danger, 32), (std::vector<int>{0,   0,   0,   0,   0,   0,   2,   7,   15,  25,  38,
                                                      54,  73,  94,  117, 143, 171, 198, 224, 249, 273, 296,
                                                      318, 339, 359, 378, 396, 413, 429, 444, 458, 471}));

  // Queens lose 4 in the opening on the enemy half; rooks' opening table
  // depends on the file only.
  EXPECT_EQ(p.pst[QUEEN][sq("d5")].op, p.pst[QUEEN][sq("d4")].op - 4);
  EXPECT_EQ(p.pst[ROOK][sq("a1")].op, p.pst[ROOK][sq("a8")].op);
}

TEST_F(Params, ChangeRebuildsOnlyItsTables) {
  ParamBlock before = params;
  params.knight_mobility_op = 88;
  init_eval_tables();
  // round(88 * 0.4499...) against 20 at 44; the ending entry kept.
  EXPECT_EQ((std::pair<int, int>(params.mob_knight[8].op, params.mob_knight[8].en)),
            (std::pair<int, int>(40, before.mob_knight[8].en)));
  EXPECT_EQ(std::memcmp(params.mob_bishop, before.mob_bishop, sizeof before.mob_bishop), 0);
  EXPECT_EQ(std::memcmp(params.pst, before.pst, sizeof before.pst), 0);

  // ppawn[6] and the two free entries next to it: round(0.6 * 72) and
  // round(0.6 * 100); the one below is kept.
  params.ppawn_r7 = 150;
  init_eval_tables();
  EXPECT_EQ((std::vector<int>{params.ppawn[6], params.ppawn_free[4], params.ppawn_free[5], params.ppawn_free[6]}),
            (std::vector<int>{150, before.ppawn_free[4], 43, 60}));

  params.king_safety = 50;
  init_eval_tables();
  // round(0.9) and round(3.36)
  EXPECT_EQ((std::pair<int, int>(params.king_danger[6], params.king_danger[7])), std::pair(1, 3));

  // The built-in tables follow their scales...
  params.PST_N_op = 88;
  init_eval_tables();
  EXPECT_EQ(params.pst[KNIGHT][sq("d4")].op, 14);
  EXPECT_EQ(params.pst[KNIGHT][sq("a1")].op, -73);
  // ...but tables supplied by the file are used as given.
  settings.builtin_pst = 0;
  params.pst[KNIGHT][sq("d4")].op = 99;
  params.PST_N_op = 12;
  init_eval_tables();
  EXPECT_EQ(params.pst[KNIGHT][sq("d4")].op, 99);
  EXPECT_EQ(params.pst[KNIGHT][sq("a1")].op, -73);
  reset_params();
}

TEST_F(Params, RestoringTheDefaultSetRebuildsTables) {
  // As at start-up: the default set is taken before the tables are built.
  ParamBlock built = params;
  clear_pst(params);
  save_default_params();
  params = built;
  params.knight_mobility_op = 10;
  params.PST_K_op = 0;
  init_eval_tables();
  restore_default_params();
  // The whole block: the rebuilt knight mobility and king table included.
  EXPECT_EQ(std::memcmp(&params, &built, sizeof built), 0);
}

TEST_F(Params, RegistryNamesSelectionAndLookup) {
  register_params();
  int count = param_count;
  register_params();
  EXPECT_EQ(param_count, count);
  EXPECT_EQ(count, 64 + 64 + 1);  // the scalar names, the pst_ squares, tune
  for (auto [at, name] :
       {std::pair{0, "pawn_value_op"}, {count - 1, "tune"}, {count - 65, "pst_a1"}, {count - 2, "pst_h8"}})
    EXPECT_STREQ(param_registry[at].name, name) << at;
  for (int i = 0; i < count; i++)
    for (int j = i + 1; j < count; j++) ASSERT_STRNE(param_registry[i].name, param_registry[j].name);

  // Each name reaches its field in the live block.
  ParamEntry* knight = find_param("knight_value_en");
  ASSERT_NE(knight, nullptr);
  EXPECT_EQ(knight->value, &params.knight_value_en);
  EXPECT_EQ(knight->estimate, 360.0);
  EXPECT_EQ(find_param("pawn_candidate")->value, &params.pawn_candidate);
  EXPECT_EQ(*find_param("pawn_candidate")->value, 48);

  select_param("no_such_name");
  for (int i = 0; i < count; i++) EXPECT_EQ(param_registry[i].selected, 0);
  select_param("rook_value_op");
  EXPECT_EQ(find_param("rook_value_op")->selected, 1);
  EXPECT_EQ(find_param("rook_value_en")->selected, 0);
  find_param("rook_value_op")->selected = 0;
}

// "pst_a1" .. "pst_h8" are values of their own: filled from the king's
// opening table after start-up took the default set, zero in that set, and
// never read by the evaluation.
TEST_F(Params, PstNamesAreACopyOfTheKingTableTakenAfterTheDefaultSet) {
  register_params();
  const ParamBlock saved = params;
  params.pst[KING][sq("e1")].op = 33;  // as a configuration file may give it
  params.pst[KING][sq("h8")].op = -41;
  save_default_params();
  fill_pst_tunables();
  ParamEntry* e1 = find_param("pst_e1");
  ASSERT_TRUE(e1 && find_param("pst_h8") && find_param("pst_a1"));
  EXPECT_EQ((std::vector<int>{*e1->value, *find_param("pst_h8")->value, *find_param("pst_a1")->value}),
            (std::vector<int>{33, -41, params.pst[KING][sq("a1")].op}));
  for (int i = 0; i < 64; i++) EXPECT_EQ(default_params.pst_tunable[i], 0) << i;

  *e1->value = 120;  // a tuning step on the name
  EXPECT_EQ(params.pst[KING][sq("e1")].op, 33);
  init_eval_tables();
  EXPECT_EQ(params.pst[KING][sq("e1")].op, -7);  // the built-in table, untouched by the name
  EXPECT_EQ(*e1->value, 120);

  restore_default_params();
  EXPECT_EQ(*e1->value, 0);
  params = saved;
  save_default_params();
}

TEST_F(Params, ConfigurationKeys) {
  ParamBlock b;
  set_default_params(b);
  // A pair sets both phases; a single value takes the first number; the
  // draw score saturates. Names are case-sensitive, and the engine's own
  // keys are no parameters.
  for (auto [key, first, second, known] :
       {std::tuple{"pawn_value", 100, 120, true}, {"passed_pawn_rank5", 40, 999, true}, {"pawn_candidate", 5, 60, true},
        {"LMR_depth", 4, 0, true}, {"draw_score", -40000, 0, true}, {"BookDepth", 10, 0, false},
        {"Pawn_value", 1, 1, false}})
    EXPECT_EQ(apply_config_param(b, key, first, second), known) << key;
  EXPECT_EQ((std::vector<int>{b.pawn_value_op, b.pawn_value_en, b.ppawn_r5, b.ppawn_r6, b.pawn_candidate_op,
                              b.pawn_candidate, b.search.LMR_depth, b.search.draw_score}),
            (std::vector<int>{100, 120, 40, 78, 5, 60, 4, -32768}));
  EXPECT_STREQ(pst_config_name(2, 1), "PST_knight_en");
  for (auto [type, phase] : {std::pair{0, 0}, {7, 0}, {1, -1}, {1, 2}}) EXPECT_STREQ(pst_config_name(type, phase), "");

  clear_pst(b);
  EXPECT_FALSE(pst_complete(b));
  for (int t = 1; t <= 6; t++)
    for (int s = 0; s < 64; s++) b.pst[t][s] = OpEn{0, 0};
  EXPECT_TRUE(pst_complete(b));
  b.pst[6][63].en = PST_UNSET;
  EXPECT_FALSE(pst_complete(b));
}

}  // namespace
