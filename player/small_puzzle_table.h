// Exact shortest solutions of the 2x2 and 3x3 sliding puzzles, from a table of
// every reachable position made by one breadth-first search from the solved
// board. The table is built at its first use (3x3: 181,440 positions, some
// tens of milliseconds and a passing 1.4 MB for the search) and keeps 2 bits
// per ordering of the cells, about 90 KB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class SmallPuzzleTable {
public:
    // The table of a side of 2 or 3 cells, built on the first call; nullptr
    // for other sides.
    static const SmallPuzzleTable* ForSide(int side);

    int Side() const { return side; }

    // cells holds side x side values row by row: tile t (home at cell t) as t,
    // the gap as side * side - 1. Returns the cell next to the gap whose tile
    // slides into it on a shortest way to the solved board, -1 when the
    // position is solved or not reachable from it.
    int NextCell(const uint8_t* cells) const;

private:
    explicit SmallPuzzleTable(int side);

    uint32_t Rank(const uint8_t* cells) const;
    // Distance modulo 3, or Unreached.
    int Code(uint32_t rank) const { return (codes[rank >> 2] >> ((rank & 3) * 2)) & 3; }
    void SetCode(uint32_t rank, int code);

    static constexpr int Unreached = 3;

    int side;
    int count;  // side * side
    std::vector<uint32_t> factorials;
    // 2 bits per rank of a permutation: the distance from the solved board
    // modulo 3. Neighbouring positions differ by exactly one slide, so their
    // distances differ by exactly one and the residue tells which neighbour
    // lies nearer the solution.
    std::vector<uint8_t> codes;
};
