#include "puzzle_solver.h"

#include <cstdint>
#include <memory>
#ifndef VN_NO_THREADS
#include <mutex>
#endif

#include "small_puzzle_table.h"

namespace {

// One step of the line-by-line order: a tile that is placed alone, or the
// last two tiles of a line, which go in together.
//
// Lines are described in line coordinates (u along the line, v across): a row
// k has u = column and v = row; a column k has u = row and v = column. The
// cells beyond a line (v greater) form a rectangle of at least three lines of
// at least three cells, which leaves room to move tiles around each other.
struct Goal {
    int home;        // the single tile's home, or the pair's first home (A)
    int second;      // the pair's last home (B), -1 for a single tile
    int belowFirst;  // pair: the cell beyond A (A1), where tile a waits
    int parking;     // pair: two cells beyond A (S), where tile a is parked
};

// Breadth-first distances from a target cell over the cells a moving piece may
// use. Kept between slides while the key stays the same, so playing a whole
// solution costs one search per leg rather than one per slide.
struct DistanceField {
    std::vector<int> distance;
    std::vector<uint32_t> stamp;  // distance[c] is valid when stamp[c] == round
    uint32_t round = 0;
    int target = -1;
    int avoid[3] = {-1, -1, -1};
    uint32_t version = 0;

    int At(int cell) const { return stamp[cell] == round ? distance[cell] : -1; }
};

class Planner {
public:
    explicit Planner(const PuzzleBoard& board);

    // The cell whose tile slides into the gap next; -1 when the board is
    // solved (or no way was found, which the order above rules out).
    int Next();

    // Slides the tile of a cell next to the gap into it.
    void Slide(int cell);

    int Side() const { return n; }

    // Whether the planner's position is the board's, or the board's once the
    // tile of cell has slid into the gap.
    bool SameAs(const PuzzleBoard& board) const { return board.Size() == n && board.Tiles() == tiles; }
    bool SameAfterSlide(const PuzzleBoard& board, int cell) const;

private:
    void BuildGoals();
    bool GoalDone(const Goal& goal) const;
    void Block(int cell);
    int FromTable();
    int PairStep(const Goal& goal);
    int MoveTile(int from, int to, int avoid0, int avoid1);
    int MoveGap(int to, int avoid0, int avoid1, int avoid2);
    bool Passable(int cell, const int* avoid) const;
    void Fill(DistanceField& field, int target, const int* avoid, int stopAt);
    bool Matches(const DistanceField& field, int target, const int* avoid) const;
    int Nearer(const DistanceField& field, int cell) const;
    int Neighbours(int cell, int out[4]) const;

    int n;
    std::vector<int> tiles;  // per cell, PuzzleBoard::EmptyCell for the gap
    std::vector<int> where;  // per tile, its cell
    int gap;
    std::vector<Goal> goals;
    size_t stage;                 // the first goal not reached
    std::vector<uint8_t> blocked;  // homes of the reached goals: never touched again
    uint32_t blockedVersion;
    DistanceField tileField;
    DistanceField gapField;
    std::vector<int> queue;
};

Planner::Planner(const PuzzleBoard& board)
    : n(board.Size()), tiles(board.Tiles()), where(n * n, 0), gap(0), stage(0),
      blocked(n * n, 0), blockedVersion(1)
{
    for (int cell = 0; cell < n * n; ++cell) {
        if (tiles[cell] == PuzzleBoard::EmptyCell)
            gap = cell;
        else
            where[tiles[cell]] = cell;
    }
    for (DistanceField* field : {&tileField, &gapField}) {
        field->distance.assign(n * n, 0);
        field->stamp.assign(n * n, 0);
    }
    queue.resize(n * n);
    BuildGoals();
}

void Planner::BuildGoals()
{
    // Boards of 3x3 and less are left to the table entirely.
    for (int k = 0; k + 3 < n; ++k) {
        for (int columnLine = 0; columnLine < 2; ++columnLine) {
            auto cell = [&](int u, int v) { return columnLine ? u * n + v : v * n + u; };
            int first = columnLine ? k + 1 : k;  // a column starts below its solved row
            for (int u = first; u <= n - 3; ++u)
                goals.push_back({cell(u, k), -1, -1, -1});
            goals.push_back({cell(n - 2, k), cell(n - 1, k), cell(n - 2, k + 1), cell(n - 2, k + 2)});
        }
    }
}

bool Planner::GoalDone(const Goal& goal) const
{
    return tiles[goal.home] == goal.home && (goal.second < 0 || tiles[goal.second] == goal.second);
}

void Planner::Block(int cell)
{
    blocked[cell] = 1;
    ++blockedVersion;
}

void Planner::Slide(int cell)
{
    tiles[gap] = tiles[cell];
    where[tiles[gap]] = gap;
    tiles[cell] = PuzzleBoard::EmptyCell;
    gap = cell;
}

bool Planner::SameAfterSlide(const PuzzleBoard& board, int cell) const
{
    if (board.Size() != n || cell < 0)
        return false;
    const std::vector<int>& other = board.Tiles();
    for (int i = 0; i < n * n; ++i) {
        int expected = i == gap ? tiles[cell] : (i == cell ? PuzzleBoard::EmptyCell : tiles[i]);
        if (other[i] != expected)
            return false;
    }
    return true;
}

int Planner::Next()
{
    if (n < 2)
        return -1;
    // Reached goals stay reached: no plan ever moves a blocked tile.
    while (stage < goals.size() && GoalDone(goals[stage])) {
        Block(goals[stage].home);
        if (goals[stage].second >= 0)
            Block(goals[stage].second);
        ++stage;
    }
    if (stage == goals.size())
        return FromTable();
    const Goal& goal = goals[stage];
    if (goal.second < 0)
        return MoveTile(where[goal.home], goal.home, -1, -1);
    return PairStep(goal);
}

// The bottom-right block of 3x3 (or the whole 2x2 board), solved in the fewest
// slides.
int Planner::FromTable()
{
    int side = n < 3 ? n : 3;
    int offset = n - side;
    const SmallPuzzleTable* table = SmallPuzzleTable::ForSide(side);
    uint8_t local[9];
    for (int row = 0; row < side; ++row)
        for (int column = 0; column < side; ++column) {
            int tile = tiles[(offset + row) * n + offset + column];
            int value = side * side - 1;
            if (tile != PuzzleBoard::EmptyCell) {
                int homeColumn = tile % n - offset;
                int homeRow = tile / n - offset;
                if (homeColumn < 0 || homeRow < 0)
                    return -1;
                value = homeRow * side + homeColumn;
            }
            local[row * side + column] = static_cast<uint8_t>(value);
        }
    int cell = table->NextCell(local);
    if (cell < 0)
        return -1;
    return (offset + cell / side) * n + offset + cell % side;
}

// The last two tiles of a line, a (home A) and b (home B), cannot be placed
// one after the other. b goes to A with a parked out of the way at S, then a
// comes to A1 beside it, the gap comes round to B, and b then a slide home.
// Each phase below only ever leads to a later one, and within a phase every
// slide shortens the moving tile's way or the gap's way to it, so the pair is
// always finished.
int Planner::PairStep(const Goal& goal)
{
    const int A = goal.home, B = goal.second, A1 = goal.belowFirst, S = goal.parking;
    const int B1 = A1 + (B - A);  // the cell beyond B
    const int a = where[A], b = where[B];
    // b home, a beneath its home, gap in it: a slides in.
    if (b == B && a == A1 && gap == A)
        return A1;
    // b at A, a beneath it: the gap comes round to B and b slides over.
    if (b == A && a == A1)
        return gap == B ? A : MoveGap(B, A, A1, -1);
    // b at A: a comes to A1 with b held. Unless a is caught in B's dead end
    // (B, or B1 with the gap in B), from where it could only come out with b.
    if (b == A && a != B && !(a == B1 && gap == B))
        return MoveTile(a, A1, A, -1);
    // a parked: b goes to A around it.
    if (a == S)
        return MoveTile(b, A, S, -1);
    return MoveTile(a, S, -1, -1);
}

int Planner::Neighbours(int cell, int out[4]) const
{
    int column = cell % n;
    int row = cell / n;
    int count = 0;
    if (row > 0)
        out[count++] = cell - n;
    if (column > 0)
        out[count++] = cell - 1;
    if (column < n - 1)
        out[count++] = cell + 1;
    if (row < n - 1)
        out[count++] = cell + n;
    return count;
}

bool Planner::Passable(int cell, const int* avoid) const
{
    return !blocked[cell] && cell != avoid[0] && cell != avoid[1] && cell != avoid[2];
}

bool Planner::Matches(const DistanceField& field, int target, const int* avoid) const
{
    return field.target == target && field.version == blockedVersion && field.avoid[0] == avoid[0] &&
           field.avoid[1] == avoid[1] && field.avoid[2] == avoid[2];
}

// Breadth-first from target over passable cells; stops once stopAt has its
// distance (-1: the whole reachable area). Every cell nearer the target than
// stopAt then has its distance too, which is all Nearer needs.
void Planner::Fill(DistanceField& field, int target, const int* avoid, int stopAt)
{
    if (++field.round == 0) {
        field.stamp.assign(n * n, 0);
        field.round = 1;
    }
    field.target = target;
    for (int i = 0; i < 3; ++i)
        field.avoid[i] = avoid[i];
    field.version = blockedVersion;
    if (!Passable(target, avoid))
        return;
    size_t head = 0, tail = 0;
    field.stamp[target] = field.round;
    field.distance[target] = 0;
    queue[tail++] = target;
    while (head < tail) {
        if (stopAt >= 0 && field.At(stopAt) >= 0)
            break;
        int cell = queue[head++];
        int around[4];
        int count = Neighbours(cell, around);
        for (int i = 0; i < count; ++i) {
            int next = around[i];
            if (field.stamp[next] == field.round || !Passable(next, avoid))
                continue;
            field.stamp[next] = field.round;
            field.distance[next] = field.distance[cell] + 1;
            queue[tail++] = next;
        }
    }
}

// The first neighbour, in the fixed order, one step nearer the target; -1
// when the cell has no distance or is the target.
int Planner::Nearer(const DistanceField& field, int cell) const
{
    int d = field.At(cell);
    if (d <= 0)
        return -1;
    int around[4];
    int count = Neighbours(cell, around);
    for (int i = 0; i < count; ++i)
        if (field.At(around[i]) == d - 1)
            return around[i];
    return -1;
}

// The slide that brings the tile at from one step nearer to, or the gap one
// step nearer the cell the tile goes to next. The tile's way keeps off the
// blocked cells and the avoided ones; the gap's way keeps off the tile too.
int Planner::MoveTile(int from, int to, int avoid0, int avoid1)
{
    const int avoid[3] = {avoid0, avoid1, -1};
    if (!Matches(tileField, to, avoid))
        Fill(tileField, to, avoid, -1);
    int step = Nearer(tileField, from);
    if (step < 0)
        return -1;
    if (step == gap)
        return from;
    return MoveGap(step, avoid0, avoid1, from);
}

int Planner::MoveGap(int to, int avoid0, int avoid1, int avoid2)
{
    const int avoid[3] = {avoid0, avoid1, avoid2};
    if (!Matches(gapField, to, avoid) || gapField.At(gap) < 0)
        Fill(gapField, to, avoid, gap);
    return Nearer(gapField, gap);
}

}  // namespace

namespace {

// The planner of the last hint and the slide it gave. A player who follows
// hints asks next from the position after that slide: the planner goes on
// with its searches kept instead of starting over, so a hint per key press
// costs about as much as the whole solution once. Any other position starts a
// new planner, which gives the same slides (they depend on the position only).
struct HintCache {
#ifndef VN_NO_THREADS  // a build without threads (the web page's module) has no std::mutex
    std::mutex lock;
#endif
    std::unique_ptr<Planner> planner;
    int cell = -1;
};

HintCache& TheHintCache()
{
    static HintCache cache;
    return cache;
}

}  // namespace

bool PuzzleHint(const PuzzleBoard& board, int* column, int* row)
{
    HintCache& cache = TheHintCache();
#ifndef VN_NO_THREADS
    std::lock_guard<std::mutex> hold(cache.lock);
#endif
    if (cache.planner && cache.planner->SameAfterSlide(board, cache.cell)) {
        cache.planner->Slide(cache.cell);
        cache.cell = cache.planner->Next();
    } else if (!cache.planner || !cache.planner->SameAs(board)) {
        cache.planner.reset(new Planner(board));
        cache.cell = cache.planner->Next();
    }
    if (cache.cell < 0)
        return false;
    *column = cache.cell % board.Size();
    *row = cache.cell / board.Size();
    return true;
}

std::vector<std::pair<int, int>> PuzzleSolution(const PuzzleBoard& board)
{
    std::vector<std::pair<int, int>> slides;
    Planner planner(board);
    const int n = planner.Side();
    // A guard far above any solution's length, so that a fault can never hang
    // the player.
    const long long limit = 64LL * n * n * n + 1000;
    for (int cell; (cell = planner.Next()) >= 0 && static_cast<long long>(slides.size()) < limit;) {
        slides.emplace_back(cell % n, cell / n);
        planner.Slide(cell);
    }
    return slides;
}
