// Numbering the positions of one material signature: the board's symmetries
// reduce every position to a canonical placement, which is then counted in a
// mixed radix whose digits are the placements of each group of like pieces.
#include <algorithm>
#include <bit>

#include "tablebases/tbcore.h"

static int16_t kk_index[10][64];
static uint8_t triangle[64];
static uint8_t ptwist[64];
static uint8_t flap[64];
static uint64_t binomial[5][64];

static int8_t offdiag[64];
static uint8_t flipdiag[64];
static uint8_t lower[64];
static uint8_t diag[64];
static uint8_t invflap[24];
static uint64_t pawnidx[5][24];
static uint64_t pawn_factor[5][4];

static const uint8_t file_fold[8] = {0, 1, 2, 3, 3, 2, 1, 0};
static const int32_t leading_factor[3] = {31332, 28056, 462};

static int square_file(int s) { return s & 7; }
static int square_rank(int s) { return s >> 3; }

// The a1-d1-d4 triangle numbering: the six squares off the diagonal first,
// then the four diagonal squares.
static int triangle_of(int s) {
  int f = std::min(square_file(s), 7 - square_file(s));
  int r = std::min(square_rank(s), 7 - square_rank(s));
  if (r > f) std::swap(f, r);
  static const int off_diagonal[4][4] = {{-1, 0, 1, 2}, {-1, -1, 3, 4}, {-1, -1, -1, 5}, {-1, -1, -1, -1}};
  if (f == r) return 6 + f;
  return off_diagonal[r][f];
}

static bool kings_adjacent(int a, int b) {
  return std::abs(square_file(a) - square_file(b)) <= 1 && std::abs(square_rank(a) - square_rank(b)) <= 1;
}

static void init_square_tables() {
  int below = 0;
  for (int s = 0; s < 64; s++) {
    int f = square_file(s), r = square_rank(s);
    offdiag[s] = r == f ? 0 : (r > f ? 1 : -1);
    flipdiag[s] = (uint8_t)(8 * f + r);
    triangle[s] = (uint8_t)triangle_of(s);
    if (r < f) lower[s] = (uint8_t)below++;
    diag[s] = f == r ? f : (f + r == 7 ? 8 + r : 0);
  }
  for (int s = 0; s < 64; s++) {
    int f = square_file(s), r = square_rank(s);
    if (f == r) lower[s] = (uint8_t)(28 + f);
    else if (r > f) lower[s] = lower[flipdiag[s]];
  }
  for (int s = 0; s < 64; s++) {
    int f = square_file(s), r = square_rank(s);
    if (r == 0 || r == 7) {
      ptwist[s] = 0;
      flap[s] = 0;
      continue;
    }
    ptwist[s] = (uint8_t)(f >= 4 ? 12 * (f - 4) + 2 * (6 - r) : 12 * (3 - f) + 2 * (6 - r) + 1);
    flap[s] = (uint8_t)(6 * std::min(f, 7 - f) + (r - 1));
  }
  for (int j = 0; j < 24; j++) invflap[j] = (uint8_t)(8 * (j % 6 + 1) + j / 6);
}

// King pairs: first king off the diagonal (any second square), then on the
// diagonal with the second king below it, then both on the diagonal.
static void init_king_pairs() {
  static const uint8_t first_square[10] = {1, 2, 3, 10, 11, 19, 0, 9, 18, 27};
  for (auto& row : kk_index)
    for (auto& v : row) v = -1;
  int n = 0;
  for (int t = 0; t < 6; t++)
    for (int s = 0; s < 64; s++)
      if (!kings_adjacent(first_square[t], s)) kk_index[t][s] = (int16_t)n++;
  for (int t = 6; t < 10; t++)
    for (int s = 0; s < 64; s++)
      if (square_rank(s) < square_file(s) && !kings_adjacent(first_square[t], s))
        kk_index[t][s] = (int16_t)n++;
  for (int t = 6; t < 10; t++)
    for (int s = 0; s < 64; s++)
      if (square_rank(s) == square_file(s) && !kings_adjacent(first_square[t], s))
        kk_index[t][s] = (int16_t)n++;
}

static void init_combinatorics() {
  for (int k = 0; k < 5; k++)
    for (int n = 0; n < 64; n++) {
      uint64_t c = 0;
      if (n >= k + 1) {
        c = 1;
        for (int i = 0; i < k + 1; i++) c = c * (uint64_t)(n - i) / (uint64_t)(i + 1);
      }
      binomial[k][n] = c;
    }
  for (int t = 0; t < 5; t++)
    for (int f = 0; f < 4; f++) {
      uint64_t sum = 0;
      for (int j = 6 * f; j < 6 * f + 6; j++) {
        pawnidx[t][j] = sum;
        sum += t == 0 ? 1 : binomial[t - 1][ptwist[invflap[j]]];
      }
      pawn_factor[t][f] = sum;
    }
}

void egtb_init_index_tables() {
  init_square_tables();
  init_king_pairs();
  init_combinatorics();
}

// Placements of k like pieces on n squares, in the file format's own 32-bit
// arithmetic.
static int32_t sub(int k, int n) {
  int32_t num = 1, den = 1;
  for (int i = 0; i < k; i++) {
    num *= n - i;
    den *= i + 1;
  }
  return num / den;
}

// Groups of consecutive equal piece codes from `start`; false on a group
// larger than any table holds.
static bool group_runs(EgtbPart& part, int start, int num) {
  for (int i = start; i < num;) {
    int run = 1;
    while (i + run < num && part.pieces[i + run] == part.pieces[i]) run++;
    if (run > 5) return false;
    part.norm[i] = (uint8_t)run;
    i += run;
  }
  return true;
}

// The description must name exactly the table's pieces, or the square list
// would leave entries unset.
static bool pieces_match(const EgtbPart& part, const EgtbMaterial& mat) {
  int counts[16] = {0};
  for (int i = 0; i < mat.num; i++) counts[part.pieces[i] & 15]++;
  for (int c = 0; c < 16; c++)
    if (counts[c] != mat.counts[c]) return false;
  return true;
}

uint64_t set_groups_pawnless(EgtbPart& part, const EgtbMaterial& mat, int order) {
  int num = mat.num;
  if (!pieces_match(part, mat)) return 0;
  std::fill(part.norm, part.norm + EGTB_MAX_NUM, 0);
  std::fill(part.factor, part.factor + EGTB_MAX_NUM, 0);
  part.norm[0] = mat.king_encoding == 0 ? 3 : 2;
  if (!group_runs(part, part.norm[0], num)) return 0;
  int n = 64 - part.norm[0];
  uint64_t f = 1;
  bool leading_placed = false;
  int i = part.norm[0];
  for (int k = 0; i < num || k == order; k++) {
    if (k == order) {
      part.factor[0] = (int32_t)f;
      f *= (uint64_t)leading_factor[mat.king_encoding];
      leading_placed = true;
    } else {
      part.factor[i] = (int32_t)f;
      f *= (uint64_t)sub(part.norm[i], n);
      n -= part.norm[i];
      i += part.norm[i];
    }
  }
  return leading_placed ? f : 0;
}

uint64_t set_groups_pawns(EgtbPart& part, const EgtbMaterial& mat, int order, int order2, int file) {
  int num = mat.num;
  if (!pieces_match(part, mat)) return 0;
  int lead = mat.pawns[0], second = mat.pawns[1];
  // The leading pawns come first, then the other colour's pawns.
  for (int i = 0; i < lead + second; i++)
    if ((part.pieces[i] & 7) != 1 || (part.pieces[i] != part.pieces[0]) != (i >= lead)) return 0;
  std::fill(part.norm, part.norm + EGTB_MAX_NUM, 0);
  std::fill(part.factor, part.factor + EGTB_MAX_NUM, 0);
  part.norm[0] = (uint8_t)lead;
  if (second > 0) part.norm[lead] = (uint8_t)second;
  if (!group_runs(part, lead + second, num)) return 0;
  int i = part.norm[0];
  if (order2 < 15) i += part.norm[i];
  int n = 64 - i;
  uint64_t f = 1;
  bool leading_placed = false, second_placed = order2 >= 15;
  for (int k = 0; i < num || k == order || k == order2; k++) {
    if (k == order) {
      part.factor[0] = (int32_t)f;
      f *= pawn_factor[part.norm[0] - 1][file];
      leading_placed = true;
    } else if (k == order2) {
      if (second == 0) return 0;
      part.factor[lead] = (int32_t)f;
      f *= (uint64_t)sub(part.norm[lead], 48 - lead);
      second_placed = true;
    } else {
      part.factor[i] = (int32_t)f;
      f *= (uint64_t)sub(part.norm[i], n);
      n -= part.norm[i];
      i += part.norm[i];
    }
  }
  return leading_placed && second_placed ? f : 0;
}

EgtbOrientation egtb_orientation(const EgtbPosition& pos, const EgtbMaterial& mat) {
  bool white_to_move = pos.turn != 0;
  if (mat.symmetric) return white_to_move ? EgtbOrientation{0, 0, 0} : EgtbOrientation{0, 8, 56};
  if (egtb_material_key(pos, false) != mat.key) return {white_to_move ? 1 : 0, 8, 56};
  return {white_to_move ? 0 : 1, 0, 0};
}

// Writes the squares of one code, lowest first, from squares[at]; returns
// the next free entry, or -1 when more pieces turn up than the table has.
static int write_squares(uint64_t b, int xor_square, uint8_t* squares, int at, int limit) {
  while (b) {
    if (at >= limit) return -1;
    squares[at++] = (uint8_t)(std::countr_zero(b) ^ xor_square);
    b &= b - 1;
  }
  return at;
}

bool square_list_pawnless(const EgtbPosition& pos, const EgtbPart& part, int num, int cflip,
                          uint8_t* squares) {
  int at = 0;
  while (at < num) {
    int next = write_squares(egtb_pieces(pos, part.pieces[at] ^ cflip), 0, squares, at, num);
    if (next <= at) return false;
    at = next;
  }
  return true;
}

int square_list_leading(const EgtbPosition& pos, int leading_code, const EgtbMaterial& mat,
                        const EgtbOrientation& o, uint8_t* squares) {
  int lead = mat.pawns[0];
  uint64_t b = egtb_pieces(pos, leading_code ^ o.cflip);
  if (std::popcount(b) != lead) return -1;
  write_squares(b, o.mflip, squares, 0, lead);
  for (int i = 1; i < lead; i++)
    if (flap[squares[0]] > flap[squares[i]]) std::swap(squares[0], squares[i]);
  return file_fold[squares[0] & 7];
}

bool square_list_rest(const EgtbPosition& pos, const EgtbPart& part, const EgtbMaterial& mat,
                      const EgtbOrientation& o, uint8_t* squares) {
  int at = mat.pawns[0];
  while (at < mat.num) {
    int next = write_squares(egtb_pieces(pos, part.pieces[at] ^ o.cflip), o.mflip, squares, at, mat.num);
    if (next <= at) return false;
    at = next;
  }
  return true;
}

// The remaining groups: each sorted group is a combination of the squares
// not taken by earlier entries.
static uint64_t index_groups(const uint8_t* norm, uint8_t* p, const int32_t* factor, int start, int num) {
  uint64_t idx = 0;
  for (int i = start; i < num;) {
    int t = norm[i];
    if (t <= 0) return ~0ULL;
    std::sort(p + i, p + i + t);
    uint64_t s = 0;
    for (int m = i; m < i + t; m++) {
      int j = 0;
      for (int l = 0; l < i; l++) j += p[m] > p[l];
      s += binomial[m - i][p[m] - j];
    }
    idx += s * (uint64_t)factor[i];
    i += t;
  }
  return idx;
}

uint64_t index_pawnless(int king_encoding, const uint8_t* norm, uint8_t* p, const int32_t* factor, int num) {
  // Also tells the optimiser the square list is short: without it the
  // whole-program build warns of wide writes past the caller's array.
  if (num > EGTB_MAX_NUM) return ~0ULL;
  if (p[0] & 4)
    for (int i = 0; i < num; i++) p[i] ^= 7;
  if (p[0] & 32)
    for (int i = 0; i < num; i++) p[i] ^= 56;
  int i = 0;
  while (i < num && offdiag[p[i]] == 0) i++;
  if (i < (king_encoding == 0 ? 3 : 2) && offdiag[p[i]] > 0)
    for (int k = 0; k < num; k++) p[k] = flipdiag[p[k]];

  uint64_t idx;
  if (king_encoding == 0) {
    int a = p[1] > p[0];
    int b = (p[2] > p[0]) + (p[2] > p[1]);
    if (offdiag[p[0]])
      idx = triangle[p[0]] * 3906 + (p[1] - a) * 62 + (p[2] - b);
    else if (offdiag[p[1]])
      idx = 23436 + diag[p[0]] * 1736 + lower[p[1]] * 62 + (p[2] - b);
    else if (offdiag[p[2]])
      idx = 30380 + diag[p[0]] * 196 + (diag[p[1]] - a) * 28 + lower[p[2]];
    else
      idx = 31164 + diag[p[0]] * 42 + (diag[p[1]] - a) * 6 + (diag[p[2]] - b);
  } else {
    int kk = kk_index[triangle[p[0]]][p[1]];
    if (kk < 0) return ~0ULL;
    idx = (uint64_t)kk;
  }
  idx *= (uint64_t)factor[0];
  uint64_t rest = index_groups(norm, p, factor, king_encoding == 0 ? 3 : 2, num);
  return rest == ~0ULL ? rest : idx + rest;
}

uint64_t index_pawns(const EgtbMaterial& mat, const uint8_t* norm, uint8_t* p, const int32_t* factor) {
  int lead = mat.pawns[0];
  if (p[0] & 4)
    for (int i = 0; i < mat.num; i++) p[i] ^= 7;
  for (int i = 1; i < lead; i++)
    for (int j = i + 1; j < lead; j++)
      if (ptwist[p[i]] < ptwist[p[j]]) std::swap(p[i], p[j]);

  int t = lead - 1;
  uint64_t idx = pawnidx[t][flap[p[0]]];
  for (int i = t; i > 0; i--) idx += binomial[t - i][ptwist[p[i]]];
  idx *= (uint64_t)factor[0];

  int i = lead, e = lead + mat.pawns[1];
  if (e > i) {
    std::sort(p + i, p + e);
    uint64_t s = 0;
    for (int m = i; m < e; m++) {
      int j = 0;
      for (int l = 0; l < i; l++) j += p[m] > p[l];
      int v = p[m] - j - 8;
      if (v < 0) return ~0ULL;
      s += binomial[m - i][v];
    }
    idx += s * (uint64_t)factor[i];
    i = e;
  }
  uint64_t rest = index_groups(norm, p, factor, i, mat.num);
  return rest == ~0ULL ? rest : idx + rest;
}
