// Solver speed: the time from a position never seen before to its first hint
// (what a player waits after pressing H), the time per hint while the hints
// are followed, and a whole solution, on boards of 4x4, 10x10 and 50x50.
// Before the benchmarks, the very first 3x3 hint is timed once: it builds the
// table of every 3x3 position.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "puzzle_solver.h"

namespace {

// Shuffled as the player shuffles.
PuzzleBoard ShuffledBoard(int size, uint32_t seed)
{
    PuzzleBoard board(size);
    board.Shuffle(seed, PuzzleBoard::ShuffleSteps(size));
    return board;
}

// A uniformly random arrangement, the far harder case.
PuzzleBoard RandomBoard(int size, uint32_t seed)
{
    std::vector<int> tiles(size * size);
    for (int i = 0; i < size * size; ++i)
        tiles[i] = i == size * size - 1 ? PuzzleBoard::EmptyCell : i;
    for (int i = size * size - 1; i > 0; --i) {
        seed = seed * 1103515245u + 12345u;
        std::swap(tiles[i], tiles[(seed >> 8) % static_cast<uint32_t>(i + 1)]);
    }
    if (!PuzzleBoard::IsSolvable(tiles, size))
        std::swap(tiles[tiles[0] == PuzzleBoard::EmptyCell ? 2 : 0], tiles[tiles[1] == PuzzleBoard::EmptyCell ? 2 : 1]);
    PuzzleBoard board(size);
    board.Arrange(tiles);
    return board;
}

// Two positions asked in turn, so that every hint starts from nothing.
void BM_FirstHint(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    const PuzzleBoard boards[2] = {ShuffledBoard(size, 11), ShuffledBoard(size, 12)};
    int turn = 0;
    for (auto _ : state) {
        int column, row;
        bool hinted = PuzzleHint(boards[turn], &column, &row);
        benchmark::DoNotOptimize(hinted);
        turn ^= 1;
    }
}

// Hint, slide, hint, ... from a shuffled board to the solved one.
void BM_FollowHints(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    const PuzzleBoard start = ShuffledBoard(size, 21);
    int64_t slides = 0;
    for (auto _ : state) {
        PuzzleBoard board = start;
        int column, row;
        while (PuzzleHint(board, &column, &row)) {
            board.SlideFrom(column, row);
            ++slides;
        }
    }
    state.counters["s_per_hint"] = benchmark::Counter(
        static_cast<double>(slides), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_WholeSolution(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    const PuzzleBoard start = state.range(1) ? RandomBoard(size, 31) : ShuffledBoard(size, 31);
    size_t slides = 0;
    for (auto _ : state) {
        slides = PuzzleSolution(start).size();
        benchmark::DoNotOptimize(slides);
    }
    state.counters["slides"] = static_cast<double>(slides);
}

BENCHMARK(BM_FirstHint)->Arg(3)->Arg(4)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FollowHints)->Arg(4)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
// Second argument: 0 shuffled as the player does, 1 uniformly random.
BENCHMARK(BM_WholeSolution)->ArgsProduct({{4, 10, 50}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    PuzzleBoard three = ShuffledBoard(3, 5);
    auto start = std::chrono::steady_clock::now();
    int column, row;
    PuzzleHint(three, &column, &row);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("First 3x3 hint, with the table of every position built: %.2f ms\n", ms);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
