#include "forms/ShapeRuns.h"

#include <algorithm>
#include <array>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A row is read as groups of pixels, each turned into a bit mask of its foreground
// pixels without a branch per pixel. The places where the mask changes are the row's
// run edges (a start, then an end, alternately), gathered for the whole row; the row's
// runs are their pairs.

namespace {

// The key and how to test one pixel against it.
struct TIndexedKey {
    static constexpr int Bytes = 1;
    std::uint8_t Index;

    explicit TIndexedKey(const std::uint8_t* p) : Index(p[0]) {}
    bool Differs(const std::uint8_t* p) const { return p[0] != Index; }
};

struct TDirectKey {
    static constexpr int Bytes = 3;
    std::uint8_t B, G, R;

    explicit TDirectKey(const std::uint8_t* p) : B(p[0]), G(p[1]), R(p[2]) {}
    bool Differs(const std::uint8_t* p) const {
        return ((p[0] ^ B) | (p[1] ^ G) | (p[2] ^ R)) != 0;
    }
};

// Foreground mask of `count` (at most 64) pixels, pixel i at bit i. Used for the
// tail of every row, and for whole rows where no vector unit is available.
template <class TKey> std::uint64_t ScalarMask(const std::uint8_t* p, int count, const TKey& key) {
    std::uint64_t mask = 0;
    for (int i = 0; i < count; ++i)
        mask |= static_cast<std::uint64_t>(key.Differs(p + i * TKey::Bytes)) << i;
    return mask;
}

std::uint64_t LowBits(int count) {
    return count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
}

// Stops the optimiser from splitting the edge writing below into branches by the
// number of edges: in a speckled picture that number changes from group to group, and
// each such branch would be mispredicted far more often than the plain writes cost.
void KeepBranchFree(std::uint64_t& v) {
#if defined(__GNUC__)
    asm("" : "+r"(v));
#else
    (void)v;
#endif
}

// Entries written past the last edge: the first two edges of a group are written
// whatever their number.
constexpr int EdgeSlack = 2;

// Column of the lowest edge; pixel i of a group sits at bit i * Spacing.
template <int Spacing> int LowestEdge(std::uint64_t edges, int firstColumn) {
    return firstColumn + static_cast<int>(static_cast<unsigned>(std::countr_zero(edges)) / Spacing);
}

// Writes the columns of a group's edges, left to right. The first two are written
// unconditionally and `out` moves on only past real ones, so the usual group (a speck
// or an outline crossing gives two edges or fewer) takes no branch on the pixels.
template <int Spacing> int* WriteEdges(std::uint64_t edges, int firstColumn, int* out) {
    for (int k = 0; k < 2; ++k) {
        *out = LowestEdge<Spacing>(edges, firstColumn);
        out += static_cast<int>((edges | (0 - edges)) >> 63); // 1 unless no edge is left
        edges &= edges - 1;
        KeepBranchFree(edges);
    }
    for (; edges != 0; edges &= edges - 1)
        *out++ = LowestEdge<Spacing>(edges, firstColumn);
    return out;
}

#if defined(__SSE2__)

std::uint64_t EqualBytes(const std::uint8_t* p, __m128i pattern) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, pattern)));
}

// 64 indexed pixels at a time, pixel i at bit i. A group this wide holds an edge too
// often in a speckled picture to branch around quiet groups.
struct TIndexedGroups {
    static constexpr int Pixels = 64;
    static constexpr int Spacing = 1;
    static constexpr std::uint64_t Valid = ~std::uint64_t{0};
    static constexpr bool SkipQuiet = false;
    __m128i Pattern;

    explicit TIndexedGroups(const TIndexedKey& key)
        : Pattern(_mm_set1_epi8(static_cast<char>(key.Index))) {}

    std::uint64_t Foreground(const std::uint8_t* p) const {
        const std::uint64_t equal = EqualBytes(p, Pattern) | EqualBytes(p + 16, Pattern) << 16 |
                                    EqualBytes(p + 32, Pattern) << 32 |
                                    EqualBytes(p + 48, Pattern) << 48;
        return ~equal;
    }
};

// 16 direct pixels (48 bytes) at a time. Each byte is compared with the key byte that
// belongs at its place; pixel i is key when its three bytes, bits 3i to 3i+2 of the
// byte mask, all match. Its foreground bit stays at bit 3i rather than being packed.
// Most groups this narrow hold no edge, so they are skipped with a branch.
struct TDirectGroups {
    static constexpr int Pixels = 16;
    static constexpr int Spacing = 3;
    static constexpr std::uint64_t Valid = 0x0000'2492'4924'9249; // bits 0, 3, ..., 45
    static constexpr bool SkipQuiet = true;
    __m128i Patterns[3];

    explicit TDirectGroups(const TDirectKey& key) {
        alignas(16) std::array<std::uint8_t, 48> bytes;
        for (int i = 0; i < 48; i += 3) {
            bytes[i] = key.B;
            bytes[i + 1] = key.G;
            bytes[i + 2] = key.R;
        }
        for (int i = 0; i < 3; ++i)
            Patterns[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(bytes.data() + 16 * i));
    }

    std::uint64_t Foreground(const std::uint8_t* p) const {
        const std::uint64_t equal = EqualBytes(p, Patterns[0]) |
                                    EqualBytes(p + 16, Patterns[1]) << 16 |
                                    EqualBytes(p + 32, Patterns[2]) << 32;
        return ~(equal & (equal >> 1) & (equal >> 2)) & Valid;
    }
};

template <class TKey> struct TGroupsOf;
template <> struct TGroupsOf<TIndexedKey> { using Type = TIndexedGroups; };
template <> struct TGroupsOf<TDirectKey> { using Type = TDirectGroups; };

#endif

// Calls emit(row, firstEdge, endOfEdges) once per row with the row's edge columns,
// an even number of them.
template <class TKey, class TEmit> void ScanRows(const TPixelRows& pixels, TEmit& emit) {
    const TKey key(pixels.TopRow);
#if defined(__SSE2__)
    using TGroups = typename TGroupsOf<TKey>::Type;
    const TGroups groups(key);
#endif
    const int width = pixels.Width;
    // A row has at most one edge per pixel, and one more to close a run at its end.
    std::vector<int> edges(static_cast<std::size_t>(width) + 1 + EdgeSlack);
    for (int y = 0; y < pixels.Height; ++y) {
        const std::uint8_t* row = pixels.TopRow + y * pixels.Stride;
        int* out = edges.data();
        // 1 when the pixel left of the group is foreground; left of column 0 is key.
        std::uint64_t carry = 0;
        int x = 0;
#if defined(__SSE2__)
        // Whole groups only: nothing past the row's last pixel is ever read. The rows of
        // a bottom-up bitmap lie at falling addresses, which the processor's own
        // read-ahead follows poorly, so the row below is fetched while this one is read.
        const std::uint8_t* nextRow = y + 1 < pixels.Height ? row + pixels.Stride : row;
        for (; x + TGroups::Pixels <= width; x += TGroups::Pixels) {
            _mm_prefetch(reinterpret_cast<const char*>(nextRow + x * TKey::Bytes), _MM_HINT_T0);
            const std::uint64_t foreground = groups.Foreground(row + x * TKey::Bytes);
            const std::uint64_t change =
                (foreground ^ ((foreground << TGroups::Spacing) | carry)) & TGroups::Valid;
            carry = foreground >> (TGroups::Spacing * (TGroups::Pixels - 1));
            if (!TGroups::SkipQuiet || change != 0)
                out = WriteEdges<TGroups::Spacing>(change, x, out);
        }
#endif
        for (; x < width; x += 64) {
            const int count = std::min(64, width - x);
            const std::uint64_t foreground = ScalarMask(row + x * TKey::Bytes, count, key);
            const std::uint64_t change =
                (foreground ^ ((foreground << 1) | carry)) & LowBits(count);
            carry = (foreground >> (count - 1)) & 1;
            out = WriteEdges<1>(change, x, out);
        }
        if (carry != 0)
            *out++ = width;
        emit(y, edges.data(), out);
    }
}

template <class TEmit> void Scan(const TPixelRows& pixels, TEmit& emit) {
    if (pixels.Width <= 0 || pixels.Height <= 0)
        return;
    if (pixels.Form == TPixelForm::Indexed)
        ScanRows<TIndexedKey>(pixels, emit);
    else
        ScanRows<TDirectKey>(pixels, emit);
}

} // namespace

void AppendShapeRuns(const TPixelRows& pixels, std::vector<TShapeRun>& runs) {
    auto append = [&runs](int y, const int* edge, const int* end) {
        for (; edge != end; edge += 2)
            runs.push_back(TShapeRun{y, edge[0], edge[1]});
    };
    Scan(pixels, append);
}

std::vector<TShapeRun> ShapeRuns(const TPixelRows& pixels) {
    std::vector<TShapeRun> runs;
    AppendShapeRuns(pixels, runs);
    return runs;
}

void ForEachShapeRunBatch(const TPixelRows& pixels,
                          const std::function<void(std::span<const TShapeRun>)>& batch) {
    std::array<TShapeRun, ShapeRunBatchSize> buffer;
    std::size_t count = 0;
    auto collect = [&](int y, const int* edge, const int* end) {
        for (; edge != end; edge += 2) {
            buffer[count++] = TShapeRun{y, edge[0], edge[1]};
            if (count == buffer.size()) {
                batch(std::span<const TShapeRun>(buffer.data(), count));
                count = 0;
            }
        }
    };
    Scan(pixels, collect);
    if (count != 0)
        batch(std::span<const TShapeRun>(buffer.data(), count));
}
