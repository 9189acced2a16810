#include "board/attacks.h"

// Slider attacks by multiplication: the blockers on a square's lines, times
// the square's multiplier, shifted down, index a table holding the attack set
// for that blocker pattern. The multipliers were found by a search for
// numbers that never send two patterns with different attack sets to one
// index; the tables behind them are filled at start-up from the rays.

SliderMagic rook_magics[64], bishop_magics[64];

namespace {

const Bitboard rook_multipliers[64] = {
    0x1080004008801020ull, 0x0840092002C03000ull, 0x1900200010400900ull, 0x0880100008000480ull,
    0x4200100420080200ull, 0x8100020100080400ull, 0x0200040110886200ull, 0x0200008040220411ull,
    0x0404800084400220ull, 0x0000401000402000ull, 0x0086001081220440ull, 0x0408800800100280ull,
    0x000A001201040820ull, 0x8848800200840080ull, 0x4001000100040200ull, 0x0442000102105084ull,
    0x9080010020804100ull, 0x0040404000201009ull, 0x0000808010002009ull, 0x2200090021D00100ull,
    0x0008008008040080ull, 0x0004004002010040ull, 0x0011040008015042ull, 0x00000A0001768104ull,
    0x0000800080204009ull, 0x2010004140002001ull, 0x9800200280100080ull, 0x1000100080080080ull,
    0x0442000A00049020ull, 0x2100040080020080ull, 0x0800120400900148ull, 0x0010040A00128541ull,
    0x2800804000800030ull, 0x1010002000400041ull, 0x4000200011004100ull, 0x0610008410800800ull,
    0x0400802402800800ull, 0xC100020080800400ull, 0x0002000802000401ull, 0x0182085882000401ull,
    0x0220204000808000ull, 0x2860100040024022ull, 0x0001002004110040ull, 0x99101042000A0020ull,
    0x0004080004008080ull, 0x0010040002008080ull, 0x2012004881020004ull, 0x8300842444820011ull,
    0x0088403882010200ull, 0x0820400080210100ull, 0x0110910040A00300ull, 0x0801100280080480ull,
    0x0242009008200600ull, 0x1002000489500200ull, 0x0040800200010080ull, 0x0091800041000080ull,
    0x0000209300488001ull, 0x04C1002414824001ull, 0x020020000B001041ull, 0x7000100004200901ull,
    0x8002002004100802ull, 0x30010002084C0007ull, 0x0888221800813004ull, 0x4000002840840112ull,
};

const Bitboard bishop_multipliers[64] = {
    0xA010041108003100ull, 0x006082020A002900ull, 0x6810010619200000ull, 0x08281A0520000408ull,
    0x0001104001000400ull, 0x0018901008048400ull, 0x00040A0210245280ull, 0x000200210808A402ull,
    0x9140048410821200ull, 0x0800091010820041ull, 0x20504804832202C0ull, 0x0100091401081000ull,
    0x8021011140000012ull, 0x0810020804450400ull, 0x208B0542109008A2ull, 0x0080084A08040204ull,
    0x0040E2A80811244Cull, 0x2505022008008108ull, 0x0430220100420040ull, 0x010A040420220040ull,
    0x1105000290400000ull, 0x0093001200822120ull, 0x4000A62048043004ull, 0x280120048A015004ull,
    0x006090002A020814ull, 0x44042000240800D0ull, 0x01102800040A4400ull, 0x1004080080220040ull,
    0x0001001011004024ull, 0x0010044000805040ull, 0x0914041200820100ull, 0x0004821012821480ull,
    0x0024040500C05021ull, 0x0088611002080200ull, 0x0116080A00040020ull, 0x4000020080080080ull,
    0x2450450140840040ull, 0x0000880201484100ull, 0x0222020404020092ull, 0x8081110600002E00ull,
    0x2842101105000801ull, 0x1100809008001025ull, 0x00020202221C0400ull, 0x0422014022009020ull,
    0x0210046102100C00ull, 0xC004008082029102ull, 0x00AA461801101200ull, 0x0404080080201108ull,
    0x020542108C205002ull, 0x0410544804100100ull, 0x0040910841100000ull, 0x0400200042021100ull,
    0x00004204850400C0ull, 0x0200100410A42102ull, 0x1040020801210102ull, 0x0805040410420000ull,
    0x2884804130100200ull, 0x800C262201242000ull, 0x1058000194108800ull, 0x0014221054420204ull,
    0x0104000012A02200ull, 0x0200881003300100ull, 0x0140400202840100ull, 0x0402020801010201ull,
};

// One entry per blocker pattern of each square: 102400 for the rooks, 5248
// for the bishops.
Bitboard rook_table[102400];
Bitboard bishop_table[5248];

// The squares whose occupancy matters: the rays without their last square,
// which is attacked whether or not something stands on it.
Bitboard relevant(const Bitboard* const rays[4], int square) {
  Bitboard result = 0;
  for (int i = 0; i < 4; ++i) {
    Bitboard ray = rays[i][square];
    if (!ray) continue;
    int last = lsb(ray) > square ? msb(ray) : lsb(ray);  // the far end
    result |= ray & ~square_bit(last);
  }
  return result;
}

void fill(SliderMagic* magics, const Bitboard* multipliers, Bitboard* table, const Bitboard* const rays[4],
          Bitboard (*by_rays)(int, Bitboard)) {
  Bitboard* next = table;
  for (int square = 0; square < 64; ++square) {
    SliderMagic& m = magics[square];
    m.mask = relevant(rays, square);
    m.multiplier = multipliers[square];
    m.shift = 64 - popcount(m.mask);
    m.attacks = next;
    // Every subset of the mask, by the carry-rippler walk.
    Bitboard blockers = 0;
    do {
      next[((blockers & m.mask) * m.multiplier) >> m.shift] = by_rays(square, blockers);
      blockers = (blockers - m.mask) & m.mask;
    } while (blockers);
    next += Bitboard{1} << popcount(m.mask);
  }
}

}  // namespace

void init_slider_magics() {
  const Bitboard* const straight[4] = {ray_n, ray_s, ray_e, ray_w};
  const Bitboard* const diagonal[4] = {ray_ne, ray_nw, ray_se, ray_sw};
  fill(rook_magics, rook_multipliers, rook_table, straight, rook_attacks_by_rays);
  fill(bishop_magics, bishop_multipliers, bishop_table, diagonal, bishop_attacks_by_rays);
}
