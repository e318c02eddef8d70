#include "small_puzzle_table.h"

namespace {

// Set bits of every 9-bit mask, worked out at compile time (the builtin
// becomes a library call on processors without a population-count
// instruction).
struct BitCounts {
    uint8_t of[512];
};

constexpr BitCounts CountBits()
{
    BitCounts counts{};
    for (int i = 1; i < 512; ++i)
        counts.of[i] = static_cast<uint8_t>(counts.of[i >> 1] + (i & 1));
    return counts;
}

constexpr BitCounts bitCounts = CountBits();

// The cells next to a cell of a side x side board, in a fixed order: up,
// left, right, down. Returns how many there are.
int Neighbours(int side, int cell, int out[4])
{
    int column = cell % side;
    int row = cell / side;
    int n = 0;
    if (row > 0)
        out[n++] = cell - side;
    if (column > 0)
        out[n++] = cell - 1;
    if (column < side - 1)
        out[n++] = cell + 1;
    if (row < side - 1)
        out[n++] = cell + side;
    return n;
}

}  // namespace

const SmallPuzzleTable* SmallPuzzleTable::ForSide(int side)
{
    if (side == 2) {
        static const SmallPuzzleTable two(2);
        return &two;
    }
    if (side == 3) {
        static const SmallPuzzleTable three(3);
        return &three;
    }
    return nullptr;
}

SmallPuzzleTable::SmallPuzzleTable(int side) : side(side), count(side * side)
{
    factorials.assign(count + 1, 1);
    for (int i = 1; i <= count; ++i)
        factorials[i] = factorials[i - 1] * static_cast<uint32_t>(i);
    const uint32_t permutations = factorials[count];
    codes.assign((permutations + 3) / 4, 0xFF);  // every rank Unreached

    // The queue holds positions packed 4 bits a cell, cell 0 lowest, so that
    // a slide is a few shifts and nothing has to be decoded from its rank.
    std::vector<uint64_t> queue;
    queue.reserve(permutations / 2);
    uint64_t solved = 0;
    uint8_t cells[9];
    for (int i = 0; i < count; ++i) {
        cells[i] = static_cast<uint8_t>(i);
        solved |= static_cast<uint64_t>(i) << (4 * i);
    }
    SetCode(Rank(cells), 0);
    queue.push_back(solved);
    // Positions of one distance lie together in the queue; layerEnd is where
    // the current distance's positions end.
    size_t layerEnd = 1;
    int next = 1;
    for (size_t head = 0; head < queue.size(); ++head) {
        if (head == layerEnd) {
            layerEnd = queue.size();
            next = (next + 1) % 3;
        }
        const uint64_t packed = queue[head];
        int gap = 0;
        for (int i = 0; i < count; ++i) {
            cells[i] = static_cast<uint8_t>((packed >> (4 * i)) & 15);
            if (cells[i] == count - 1)
                gap = i;
        }
        int around[4];
        int n = Neighbours(side, gap, around);
        for (int i = 0; i < n; ++i) {
            int cell = around[i];
            cells[gap] = cells[cell];
            cells[cell] = static_cast<uint8_t>(count - 1);
            uint32_t neighbour = Rank(cells);
            if (Code(neighbour) == Unreached) {
                SetCode(neighbour, next);
                uint64_t tile = static_cast<uint64_t>(cells[gap]);
                queue.push_back((packed & ~(15ull << (4 * gap)) & ~(15ull << (4 * cell))) | tile << (4 * gap) |
                                static_cast<uint64_t>(count - 1) << (4 * cell));
            }
            cells[cell] = cells[gap];
            cells[gap] = static_cast<uint8_t>(count - 1);
        }
    }
}

void SmallPuzzleTable::SetCode(uint32_t rank, int code)
{
    int shift = (rank & 3) * 2;
    uint8_t& byte = codes[rank >> 2];
    byte = static_cast<uint8_t>((byte & ~(3 << shift)) | (code << shift));
}

// Lehmer code: for each cell, how many smaller values are still unused,
// weighted by the factorial of the cells that follow.
uint32_t SmallPuzzleTable::Rank(const uint8_t* cells) const
{
    uint32_t used = 0;
    uint32_t rank = 0;
    for (int i = 0; i < count; ++i) {
        uint32_t value = cells[i];
        uint32_t smaller = value - bitCounts.of[used & ((1u << value) - 1)];
        used |= 1u << value;
        rank += smaller * factorials[count - 1 - i];
    }
    return rank;
}

int SmallPuzzleTable::NextCell(const uint8_t* cells) const
{
    // Refuse anything that is not a permutation of 0 .. count - 1.
    uint32_t seen = 0;
    int gap = -1;
    bool solved = true;
    for (int i = 0; i < count; ++i) {
        if (cells[i] >= count || (seen & (1u << cells[i])))
            return -1;
        seen |= 1u << cells[i];
        if (cells[i] == count - 1)
            gap = i;
        solved = solved && cells[i] == i;
    }
    if (solved)
        return -1;
    int code = Code(Rank(cells));
    if (code == Unreached)
        return -1;
    int nearer = (code + 2) % 3;
    uint8_t work[9];
    for (int i = 0; i < count; ++i)
        work[i] = cells[i];
    int around[4];
    int n = Neighbours(side, gap, around);
    for (int i = 0; i < n; ++i) {
        int cell = around[i];
        work[gap] = work[cell];
        work[cell] = static_cast<uint8_t>(count - 1);
        bool closer = Code(Rank(work)) == nearer;
        work[cell] = work[gap];
        work[gap] = static_cast<uint8_t>(count - 1);
        if (closer)
            return cell;
    }
    return -1;
}
