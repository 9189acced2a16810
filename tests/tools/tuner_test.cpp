#include "tools/tuner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "eval/params.h"
#include "tool_env.h"
#include "tools/tuner_step.h"

namespace {

// An error with a known shape: a shallow bowl around a knight of 400 and a
// steep one around an ending queen of 1300; no other parameter matters.
double synthetic_error(unsigned) {
  double k = params.knight_value_op - 400.0;
  double q = params.queen_value_en - 1300.0;
  return 0.1 + 1e-8 * k * k + 1e-6 * q * q;
}

void fresh_registry() {
  set_default_params(params);
  register_params();
  for (int i = 0; i < param_count; i++) {
    param_registry[i].estimate = *param_registry[i].value;
    param_registry[i].accumulator = 0;
  }
}

}  // namespace

TEST(Tuner, TwoPassesOfArithmeticAndTheLog) {
  tool_test_setup();
  ScratchDir dir;
  fresh_registry();
  ASSERT_TRUE(begin_tuning());
  EXPECT_TRUE(find_param("queen_mobility_en")->selected);
  EXPECT_FALSE(find_param("pawn_value_op")->selected);
  testing::internal::CaptureStdout();
  tune_parameters(2, synthetic_error);
  std::string out = testing::internal::GetCapturedStdout();

  // Queen ending 1190: probes at +-36 (width 36.2); the slope -2.2e-4 asks
  // for a move of 523.6, clamped to 36.2. Knight 380: probes at +-12, slope
  // -4e-7, move 380 * 4e-7 * 2000 = 0.304.
  EXPECT_NE(out.find("p1=1154, p2=1226, g= -2.20e-04, dp= 523.6, x=  36.2, p= 1226.2"),
            std::string::npos);
  EXPECT_NE(out.find("p1= 368, p2= 392, g= -4.00e-07, dp=   0.3, x=   0.3, p=  380.3"),
            std::string::npos);
  // Pass 2 starts from the rounded estimates and smooths with pass 1's slope.
  EXPECT_NEAR(find_param("knight_value_op")->estimate, 380.304 + 380.304 * 4e-7 * 2000, 1e-6);
  EXPECT_NEAR(find_param("queen_value_en")->estimate, 1226.2 + (0.03 * 1226.2 + 0.5), 1e-9);
  EXPECT_NEAR(find_param("queen_value_en")->accumulator, 1e-6 * (37 * 37 - 111 * 111) / 74, 1e-12);
  EXPECT_DOUBLE_EQ(find_param("rook_value_op")->estimate, 530.0);
  // The block keeps the values of the last pass's step 2.
  EXPECT_EQ(params.queen_value_en, 1226);
  EXPECT_EQ(params.knight_value_op, 380);

  std::string log = read_text_file(TUNE_LOG_NAME);
  EXPECT_EQ(log.rfind("pass= 0, k0= 2.000e+03\n** knight_value_op = 380\n", 0), 0u);
  EXPECT_NE(log.find("** queen_mobility_en = 90\n\nerr= 0.11210\n\npass= 1, k0= 2.000e+03\n"),
            std::string::npos);
  EXPECT_EQ(log.find("p1="), std::string::npos);  // probe lines are not logged
  set_default_params(params);
  init_eval_tables();
}

TEST(Tuner, NothingHappensWithoutALog) {
  tool_test_setup();
  ScratchDir dir;
  fresh_registry();
  std::filesystem::create_directory(TUNE_LOG_NAME);  // cannot be opened as the log
  EXPECT_FALSE(begin_tuning());
  tune_parameters(3, synthetic_error);
  EXPECT_DOUBLE_EQ(find_param("queen_value_en")->estimate, 1190.0);
  // Values below about 17 are still probed one step away, moving at most 1.
  EXPECT_EQ(probe_width(3).step, 1);
  EXPECT_DOUBLE_EQ(probe_width(3).clamp, 1.0);
}
