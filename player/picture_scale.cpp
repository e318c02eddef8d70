#include "picture_scale.h"

#include <new>
#include <vector>

namespace {

const int WeightBits = 14;
const int WeightOne = 1 << WeightBits;

// For each target index along one side: the first source index it reads, how
// many it reads, and their weights (summing to WeightOne).
struct AxisTaps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> offset;  // into weights
    std::vector<int> weights;
};

void MakeTaps(int source, int target, AxisTaps& taps)
{
    taps.first.resize(target);
    taps.count.resize(target);
    taps.offset.resize(target);
    taps.weights.clear();
    for (int i = 0; i < target; ++i) {
        taps.offset[i] = static_cast<int>(taps.weights.size());
        if (target >= source && target % source == 0) {
            // A whole multiple: each source pixel repeated.
            taps.first[i] = static_cast<int>(static_cast<long long>(i) * source / target);
            taps.count[i] = 1;
            taps.weights.push_back(WeightOne);
        } else if (target < source) {
            // Area: the source interval [i*source, (i+1)*source) in units of
            // 1/target source pixels, each source pixel weighted by its overlap.
            long long begin = static_cast<long long>(i) * source;
            long long end = begin + source;
            int first = static_cast<int>(begin / target);
            int last = static_cast<int>((end - 1) / target);
            taps.first[i] = first;
            taps.count[i] = last - first + 1;
            int given = 0;
            for (int j = first; j <= last; ++j) {
                long long from = static_cast<long long>(j) * target;
                long long to = from + target;
                if (from < begin) from = begin;
                if (to > end) to = end;
                int weight = static_cast<int>((to - from) * WeightOne / source);
                if (j == last)
                    weight = WeightOne - given;
                given += weight;
                taps.weights.push_back(weight);
            }
        } else {
            // Linear between the two nearest source pixel centres.
            long long centre = (2LL * i + 1) * source - target;  // in 1/(2*target) units
            long long twice = 2LL * target;
            int first;
            int fraction;
            if (centre <= 0) {
                first = 0;
                fraction = 0;
            } else {
                first = static_cast<int>(centre / twice);
                fraction = static_cast<int>((centre % twice) * WeightOne / twice);
            }
            if (first >= source - 1) {
                first = source - 1;
                fraction = 0;
            }
            taps.first[i] = first;
            if (fraction == 0) {
                taps.count[i] = 1;
                taps.weights.push_back(WeightOne);
            } else {
                taps.count[i] = 2;
                taps.weights.push_back(WeightOne - fraction);
                taps.weights.push_back(fraction);
            }
        }
    }
}

inline uint8_t Rounded(int sum)
{
    int value = (sum + WeightOne / 2) >> WeightBits;
    return static_cast<uint8_t>(value > 255 ? 255 : value);
}

}  // namespace

bool ScalePixels(const PixelRows& source, const PixelRows& target)
{
    if (!source.data || !target.data || source.width < 1 || source.height < 1 ||
        target.width < 1 || target.height < 1)
        return false;
    try {
        AxisTaps across;
        AxisTaps down;
        MakeTaps(source.width, target.width, across);
        MakeTaps(source.height, target.height, down);

        // Horizontal pass into rows of the target's width, one per source row
        // that the vertical pass reads.
        const size_t rowBytes = static_cast<size_t>(target.width) * 3;
        std::vector<uint8_t> wide(rowBytes * source.height);
        std::vector<char> done(source.height, 0);
        for (int y = 0; y < target.height; ++y) {
            for (int k = 0; k < down.count[y]; ++k) {
                int sy = down.first[y] + k;
                if (done[sy])
                    continue;
                done[sy] = 1;
                const uint8_t* in = source.Row(sy);
                uint8_t* out = &wide[rowBytes * sy];
                for (int x = 0; x < target.width; ++x) {
                    const int* weight = &across.weights[across.offset[x]];
                    const uint8_t* p = in + across.first[x] * 3;
                    int b = 0, g = 0, r = 0;
                    for (int t = 0; t < across.count[x]; ++t, p += 3) {
                        b += p[0] * weight[t];
                        g += p[1] * weight[t];
                        r += p[2] * weight[t];
                    }
                    out[3 * x] = Rounded(b);
                    out[3 * x + 1] = Rounded(g);
                    out[3 * x + 2] = Rounded(r);
                }
            }
        }
        // Vertical pass.
        for (int y = 0; y < target.height; ++y) {
            uint8_t* out = target.Row(y);
            const int* weight = &down.weights[down.offset[y]];
            const uint8_t* first = &wide[rowBytes * down.first[y]];
            if (down.count[y] == 1) {
                for (size_t i = 0; i < rowBytes; ++i)
                    out[i] = first[i];
                continue;
            }
            for (size_t i = 0; i < rowBytes; ++i) {
                int sum = 0;
                const uint8_t* p = first + i;
                for (int t = 0; t < down.count[y]; ++t, p += rowBytes)
                    sum += *p * weight[t];
                out[i] = Rounded(sum);
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
