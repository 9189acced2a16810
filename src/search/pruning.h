#pragma once
// The static pruning decisions of a node, as plain functions of the values
// they read, so each threshold can be checked on its own. The node search
// calls them in this order: futility drop, static-eval cut, ProbCut, null
// move.

// What a node knows about itself when it decides whether to prune.
struct NodeFlags {
  bool pv_node = false;
  bool few = false;        // at most one minor piece besides pawns and kings
  bool in_check = false;
  bool fail_low = false;   // the table says the node will not reach alpha
  bool fail_high = false;  // the table says the node will reach beta
};

constexpr int SEP_SLACK = 24;          // static pruning needs eval above beta by more than this
constexpr int NULL_MOVE_SLACK = 11;    // the null move needs eval above beta by more than this
constexpr int PROBCUT_MARGIN = 125;    // a capture must hold beta + this ...
constexpr int PROBCUT_REDUCTION = 3;   // ... searched this many plies shallower
constexpr int NULL_VERIFY_DEPTH = 5;   // from here a null-move fail-high reduces instead of cutting
constexpr int NULL_VERIFY_REDUCTION = 4;

// Material points of both sides below 4: too little for zugzwang-free
// pruning.
inline bool few_pieces(int white_material, int black_material) {
  return white_material + black_material < 4;
}

// A node far below alpha near the leaves drops straight into quiescence.
inline bool futility_drop(int depth, int eval, int alpha, const NodeFlags& f, int fp_depth, int fp_margin) {
  return depth <= fp_depth && eval <= alpha - fp_margin * depth &&
         !(f.pv_node || f.few || f.in_check || f.fail_high);
}

// Verdicts of static-eval pruning.
enum SepVerdict {
  SEP_NONE,           // no static cut
  SEP_CUT,            // return beta
  SEP_CUT_IF_SAFE,    // return beta when no piece of the side hangs (`threat_safe`)
};

// A node well above beta near the leaves is cut on its static evaluation,
// provided half of the evaluation's threat estimate for the side (`threat`)
// does not eat the surplus.
inline SepVerdict static_eval_verdict(int depth, int eval, int beta, int threat, const NodeFlags& f,
                                      int sep_depth, int sep_margin) {
  if (depth > sep_depth || eval <= beta + SEP_SLACK || eval < beta + threat / 2) return SEP_NONE;
  if (f.pv_node || f.few || f.in_check || f.fail_low) return SEP_NONE;
  if (eval >= beta + sep_margin * depth) return SEP_CUT;
  return depth < 3 ? SEP_CUT_IF_SAFE : SEP_NONE;
}

// ProbCut is tried deep enough when eval is above beta and the static cut
// did not already end the node (the caller asks only after that).
inline bool probcut_allowed(int depth, int eval, int beta, const NodeFlags& f) {
  return depth > 4 && eval > beta + SEP_SLACK && !(f.pv_node || f.few || f.fail_low);
}

// The null move needs a surplus over beta, a quiet non-PV node, material
// enough to rule out zugzwang, and no null move in the two plies before.
inline bool null_move_allowed(int depth, int eval, int beta, const NodeFlags& f, bool recent_null,
                              int nmp_depth) {
  return depth >= nmp_depth && eval > beta + NULL_MOVE_SLACK &&
         !(f.fail_low || f.pv_node || f.few || f.in_check) && !recent_null;
}

// Depth reduction of the null move; deeper nodes with more than a minor
// and a rook or so reduce by one more.
inline int null_move_reduction(int depth, int own_material) {
  return depth > 7 && own_material > 5 ? 4 : 3;
}

// Remaining depth of the child searched after the null move.
inline int null_move_child_depth(int depth, int reduction) {
  return (depth - reduction > 1 ? depth - reduction : 1) - 1;
}

// After a null-move fail-high: shallow nodes cut, deeper ones go on at a
// reduced depth (returned); 0 means cut.
inline int null_move_continue_depth(int depth) {
  return depth < NULL_VERIFY_DEPTH ? 0 : depth - NULL_VERIFY_REDUCTION;
}
