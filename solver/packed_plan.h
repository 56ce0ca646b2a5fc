// A plan packed as bit planes, 64 cells to a word, so that adding a generator and weighing the sum
// cost a few machine words: kelvo-solve weighs up to 2^27 plans, in about a second.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "board/grid.h"

// The 64-cell words that hold a plan of that many cells.
constexpr int wordsFor(int cells) { return (cells + 63) / 64; }
inline constexpr int packedWords = wordsFor(maxGridSize * maxGridSize);
using Words = std::array<uint64_t, packedWords>;

// x86-64's baseline has no popcount instruction, and the weighing is mostly popcounts: the hot
// loops are also built for processors that have one, picked when the program loads. The walk is
// ten times faster so.
#if defined(__x86_64__) && defined(__linux__)
#define KELVO_HOT __attribute__((target_clones("popcnt", "default")))
#else
#define KELVO_HOT
#endif

// Cell i's value is bit i of plane 0, plus twice bit i of plane 1, plus four times bit i of plane
// 2: one plane for 2 colours, two for 3 and 4, three for 5. Bits past the board's cells stay 0.
template <int K> struct Packed {
    static constexpr int planes = std::bit_width(unsigned(K - 1));
    std::array<Words, planes> plane{};

    uint8_t cell(int i) const {
        uint8_t v = 0;
        for (int p = 0; p < planes; ++p)
            v |= static_cast<uint8_t>((plane[p][i / 64] >> (i % 64) & 1) << p);
        return v;
    }
    void setCell(int i, uint8_t v) {
        for (int p = 0; p < planes; ++p) {
            const uint64_t bit = uint64_t{1} << (i % 64);
            plane[p][i / 64] = (v >> p & 1) != 0 ? plane[p][i / 64] | bit : plane[p][i / 64] & ~bit;
        }
    }
};

template <int K> using PlaneWords = std::array<uint64_t, Packed<K>::planes>;

// Word w of x + g modulo K, plane by plane, each cell on its own.
template <int K> inline PlaneWords<K> sumWord(const Packed<K>& x, const Packed<K>& g, int w) {
    const uint64_t a0 = x.plane[0][w], g0 = g.plane[0][w];
    if constexpr (K == 2) {
        return {a0 ^ g0};
    } else if constexpr (K == 4) {
        return {a0 ^ g0, x.plane[1][w] ^ g.plane[1][w] ^ (a0 & g0)};
    } else if constexpr (K == 3) {
        // 0, 1, 2 are 00, 01, 10: the sum is 1 for 0+1, 1+0, 2+2 and 2 for 0+2, 2+0, 1+1.
        const uint64_t a1 = x.plane[1][w], g1 = g.plane[1][w];
        const uint64_t aZero = ~(a0 | a1), gZero = ~(g0 | g1);
        return {(a0 & gZero) | (aZero & g0) | (a1 & g1), (a1 & gZero) | (aZero & g1) | (a0 & g0)};
    } else {
        // A three-bit adder, then 5 taken off the sums 5 ... 8 (101, 110, 111, 1000).
        const uint64_t a1 = x.plane[1][w], a2 = x.plane[2][w];
        const uint64_t g1 = g.plane[1][w], g2 = g.plane[2][w];
        const uint64_t s0 = a0 ^ g0, c0 = a0 & g0;
        const uint64_t s1 = a1 ^ g1 ^ c0, c1 = (a1 & g1) | (c0 & (a1 ^ g1));
        const uint64_t s2 = a2 ^ g2 ^ c1, s3 = (a2 & g2) | (c1 & (a2 ^ g2));
        const uint64_t over = s3 | (s2 & (s1 | s0));
        return {s0 ^ over, (s1 & ~over) | (over & (s3 | (s1 & s0))), s2 & ~over};
    }
}

// x = x + g modulo K in the first `words` words.
template <int K> inline void addPacked(Packed<K>& x, const Packed<K>& g, int words) {
    for (int w = 0; w < words; ++w) {
        const PlaneWords<K> sum = sumWord(x, g, w);
        for (int p = 0; p < Packed<K>::planes; ++p) x.plane[p][w] = sum[p];
    }
}

// The clicks of the cells of x that mask keeps.
template <int K> inline int64_t weighPacked(const Packed<K>& x, const Words& mask, int words) {
    int64_t sum = 0;
    for (int w = 0; w < words; ++w)
        for (int p = 0; p < Packed<K>::planes; ++p)
            sum += int64_t{std::popcount(x.plane[p][w] & mask[w])} << p;
    return sum;
}

template <int K> inline int64_t weighPacked(const Packed<K>& x, int words) {
    int64_t sum = 0;
    for (int w = 0; w < words; ++w)
        for (int p = 0; p < Packed<K>::planes; ++p)
            sum += int64_t{std::popcount(x.plane[p][w])} << p;
    return sum;
}

// Calls f(Packed<k>{}) with the packed type of k = 2 ... 5, returning what it returns.
template <typename F> auto withColors(int32_t k, F&& f) {
    switch (k) {
    case 2:
        return f(Packed<2>{});
    case 3:
        return f(Packed<3>{});
    case 4:
        return f(Packed<4>{});
    default:
        return f(Packed<5>{});
    }
}
