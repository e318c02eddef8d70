#include "puzzle_solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <unordered_map>
#include <vector>

namespace {

const int E = PuzzleBoard::EmptyCell;

// Deterministic random numbers (xorshift32).
struct Random {
    uint32_t state;
    explicit Random(uint32_t seed) : state(seed ? seed : 0x2545F491u) {}
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

// Makes an arrangement solvable by swapping two tiles when it is not.
void FixParity(std::vector<int>& tiles, int size)
{
    if (PuzzleBoard::IsSolvable(tiles, size))
        return;
    int first = -1, second = -1;
    for (int i = 0; i < size * size && second < 0; ++i)
        if (tiles[i] != E)
            (first < 0 ? first : second) = i;
    std::swap(tiles[first], tiles[second]);
}

// A uniformly random solvable arrangement.
PuzzleBoard RandomBoard(int size, Random& random)
{
    std::vector<int> tiles(size * size);
    for (int i = 0; i < size * size; ++i)
        tiles[i] = i == size * size - 1 ? E : i;
    for (int i = size * size - 1; i > 0; --i)
        std::swap(tiles[i], tiles[random.Next() % (i + 1)]);
    FixParity(tiles, size);
    PuzzleBoard board(size);
    EXPECT_TRUE(board.Arrange(tiles));
    return board;
}

bool NextToGap(const PuzzleBoard& board, int column, int row)
{
    return std::abs(column - board.GapColumn()) + std::abs(row - board.GapRow()) == 1;
}

// Follows hints until none comes or more than limit slides were made. Returns
// the slides made, -1 when a hint named a cell not next to the gap.
long FollowHints(PuzzleBoard& board, long limit)
{
    long slides = 0;
    int column, row;
    while (slides <= limit && PuzzleHint(board, &column, &row)) {
        if (!NextToGap(board, column, row))
            return -1;
        board.SlideFrom(column, row);
        ++slides;
    }
    return slides;
}

// Plays a solution; false when one of its slides is not a single-tile slide.
bool Play(PuzzleBoard& board, const std::vector<std::pair<int, int>>& slides)
{
    for (const auto& cell : slides) {
        if (!NextToGap(board, cell.first, cell.second))
            return false;
        board.SlideFrom(cell.first, cell.second);
    }
    return true;
}

// The most slides a solution may take on an n x n board. 2x2 and 3x3 are
// solved in the fewest slides (at most 6 and 31). Larger boards are solved
// line by line down to 3x3: while an m x m block remains, each of the about 2m
// tiles of its top row and left column travels at most 2m cells, each cell
// costing the gap at most 4 slides round the tile plus the tile's own, after
// the gap's first approach of at most 2m; summed over m this stays below 8n^3.
long SlideBound(int n)
{
    if (n <= 1)
        return 0;
    if (n == 2)
        return 6;
    if (n == 3)
        return 31;
    return 8L * n * n * n;
}

// Distances from the solved board of every reachable position of a small
// board, by its own breadth-first search. Positions are packed 4 bits a cell,
// 15 for the gap.
uint64_t Pack(const std::vector<int>& tiles)
{
    uint64_t key = 0;
    for (int tile : tiles)
        key = key << 4 | static_cast<uint64_t>(tile == E ? 15 : tile);
    return key;
}

std::unordered_map<uint64_t, int> BreadthFirst(int size, std::vector<std::vector<int>>* positions)
{
    std::unordered_map<uint64_t, int> distance;
    PuzzleBoard solved(size);
    positions->assign(1, solved.Tiles());
    distance[Pack(solved.Tiles())] = 0;
    for (size_t head = 0; head < positions->size(); ++head) {
        std::vector<int> tiles = (*positions)[head];
        int d = distance[Pack(tiles)];
        int gap = static_cast<int>(std::find(tiles.begin(), tiles.end(), E) - tiles.begin());
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& step : steps) {
            int column = gap % size + step[0], row = gap / size + step[1];
            if (column < 0 || row < 0 || column >= size || row >= size)
                continue;
            std::vector<int> next = tiles;
            std::swap(next[gap], next[row * size + column]);
            if (distance.emplace(Pack(next), d + 1).second)
                positions->push_back(next);
        }
    }
    return distance;
}

TEST(PuzzleSolver, SolvedBoardsGiveNoHintAndAnEmptySolution)
{
    for (int size = 1; size <= 7; ++size) {
        PuzzleBoard board(size);
        int column = -7, row = -7;
        EXPECT_FALSE(PuzzleHint(board, &column, &row)) << size;
        EXPECT_EQ(-7, column);
        EXPECT_TRUE(PuzzleSolution(board).empty()) << size;
    }
}

// Every reachable 2x2 and 3x3 position: the hint is a slide to a position one
// nearer the solved board, so following hints takes the fewest slides.
TEST(PuzzleSolver, SmallBoardHintsAlwaysStepOneNearer)
{
    for (int size = 2; size <= 3; ++size) {
        std::vector<std::vector<int>> positions;
        std::unordered_map<uint64_t, int> distance = BreadthFirst(size, &positions);
        ASSERT_EQ(size == 2 ? 12u : 181440u, positions.size());
        int deepest = 0;
        for (const std::vector<int>& tiles : positions) {
            PuzzleBoard board(size);
            ASSERT_TRUE(board.Arrange(tiles));
            int d = distance[Pack(tiles)];
            deepest = std::max(deepest, d);
            int column, row;
            bool hinted = PuzzleHint(board, &column, &row);
            ASSERT_EQ(d > 0, hinted);
            if (!hinted)
                continue;
            ASSERT_TRUE(NextToGap(board, column, row));
            board.SlideFrom(column, row);
            ASSERT_EQ(d - 1, distance[Pack(board.Tiles())]);
        }
        EXPECT_EQ(size == 2 ? 6 : 31, deepest);
    }
}

TEST(PuzzleSolver, ThreeByThreeHintPathsAreAsShortAsBreadthFirst)
{
    std::vector<std::vector<int>> positions;
    std::unordered_map<uint64_t, int> distance = BreadthFirst(3, &positions);
    Random random(77);
    for (int i = 0; i < 3000; ++i) {
        PuzzleBoard board(3);
        if (i % 2)
            board = RandomBoard(3, random);
        else
            board.Shuffle(random.Next(), 1 + random.Next() % 60);
        const int d = distance[Pack(board.Tiles())];
        PuzzleBoard copy = board;
        std::vector<std::pair<int, int>> solution = PuzzleSolution(board);
        ASSERT_EQ(d, FollowHints(board, 1000)) << i;
        ASSERT_TRUE(board.IsSolved());
        ASSERT_EQ(static_cast<size_t>(d), solution.size());
        ASSERT_TRUE(Play(copy, solution));
        ASSERT_TRUE(copy.IsSolved());
    }
}

TEST(PuzzleSolver, FollowingHintsSolvesEveryBoardWithinTheBound)
{
    for (int size = 2; size <= 12; ++size) {
        Random random(size * 1009u);
        for (int i = 0; i < 250; ++i) {
            PuzzleBoard board(size);
            if (i < 150)
                board = RandomBoard(size, random);
            else
                board.Shuffle(random.Next(), PuzzleBoard::ShuffleSteps(size));
            long slides = FollowHints(board, SlideBound(size));
            ASSERT_GE(slides, 0) << "size " << size << " board " << i;
            ASSERT_LE(slides, SlideBound(size)) << "size " << size << " board " << i;
            ASSERT_TRUE(board.IsSolved()) << "size " << size << " board " << i;
        }
    }
}

// Hints computed afresh at every position along the way (another board asked
// in between) give the solution's slides: the plan depends on the position
// only, so a player may stop and come back to hints at any time.
TEST(PuzzleSolver, HintsDependOnThePositionAlone)
{
    for (int size : {4, 5, 7, 10}) {
        Random random(size);
        PuzzleBoard board = RandomBoard(size, random);
        PuzzleBoard other = RandomBoard(size + 1, random);
        std::vector<std::pair<int, int>> solution = PuzzleSolution(board);
        for (size_t i = 0; i < solution.size(); ++i) {
            int column, row;
            ASSERT_TRUE(PuzzleHint(other, &column, &row));
            ASSERT_TRUE(PuzzleHint(board, &column, &row)) << size << " " << i;
            ASSERT_EQ(solution[i], std::make_pair(column, row)) << size << " " << i;
            // Asking twice without sliding gives the same hint.
            ASSERT_TRUE(PuzzleHint(board, &column, &row));
            ASSERT_EQ(solution[i], std::make_pair(column, row)) << size << " " << i;
            board.SlideFrom(column, row);
        }
        EXPECT_TRUE(board.IsSolved()) << size;
    }
}

// The last two tiles of a line are the delicate part: every placement of
// them and of the gap, on a 4x4 board whose earlier tiles of the line are home.
TEST(PuzzleSolver, LastTwoTilesOfALineFromEveryPlacement)
{
    const int size = 4;
    // Top row: tiles 2 and 3 with 0 and 1 home. Left column: tiles 8 and 12
    // with the top row and tile 4 home.
    struct Case { std::vector<int> home; int a, b; };
    const Case cases[] = {{{0, 1}, 2, 3}, {{0, 1, 2, 3, 4}, 8, 12}};
    Random random(4242);
    for (const Case& c : cases) {
        std::vector<int> freeCells;
        for (int cell = 0; cell < size * size; ++cell)
            if (std::find(c.home.begin(), c.home.end(), cell) == c.home.end())
                freeCells.push_back(cell);
        std::vector<int> others;
        for (int tile = 0; tile < size * size - 1; ++tile)
            if (tile != c.a && tile != c.b && std::find(c.home.begin(), c.home.end(), tile) == c.home.end())
                others.push_back(tile);
        int boards = 0;
        for (int cellA : freeCells)
            for (int cellB : freeCells)
                for (int gapCell : freeCells) {
                    if (cellA == cellB || cellA == gapCell || cellB == gapCell)
                        continue;
                    std::vector<int> tiles(size * size, -2);
                    for (int tile : c.home)
                        tiles[tile] = tile;
                    tiles[cellA] = c.a;
                    tiles[cellB] = c.b;
                    tiles[gapCell] = E;
                    std::vector<int> rest = others;
                    for (size_t i = rest.size(); i > 1; --i)
                        std::swap(rest[i - 1], rest[random.Next() % i]);
                    size_t next = 0;
                    for (int& t : tiles)
                        if (t == -2)
                            t = rest[next++];
                    if (!PuzzleBoard::IsSolvable(tiles, size)) {
                        // Swap two of the other tiles: a and b stay put.
                        int first = -1, second = -1;
                        for (int cell : freeCells)
                            if (tiles[cell] != E && tiles[cell] != c.a && tiles[cell] != c.b && second < 0)
                                (first < 0 ? first : second) = cell;
                        std::swap(tiles[first], tiles[second]);
                    }
                    PuzzleBoard board(size);
                    ASSERT_TRUE(board.Arrange(tiles));
                    std::vector<std::pair<int, int>> solution = PuzzleSolution(board);
                    ASSERT_LE(static_cast<long>(solution.size()), SlideBound(size));
                    ASSERT_TRUE(Play(board, solution));
                    ASSERT_TRUE(board.IsSolved()) << c.a << " at " << cellA << ", " << c.b << " at "
                                                  << cellB << ", gap at " << gapCell;
                    ++boards;
                }
        const int n = static_cast<int>(freeCells.size());
        EXPECT_EQ(n * (n - 1) * (n - 2), boards);  // every placement was played
    }
}

TEST(PuzzleSolver, LargeBoardsAreSolvedWithinTheBound)
{
    for (int size : {13, 20, 31, 50}) {
        Random random(size * 3u);
        for (int i = 0; i < 2; ++i) {
            PuzzleBoard board = RandomBoard(size, random);
            std::vector<std::pair<int, int>> solution = PuzzleSolution(board);
            EXPECT_LE(static_cast<long>(solution.size()), SlideBound(size)) << size;
            ASSERT_TRUE(Play(board, solution)) << size;
            EXPECT_TRUE(board.IsSolved()) << size;
        }
    }
}

}  // namespace
