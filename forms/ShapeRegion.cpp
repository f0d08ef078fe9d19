#include "forms/ShapeRegion.h"

#include "components/Handles.h"
#include "forms/ShapeRuns.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace {

// Builds the union of many rectangles at a cost that grows as n log n.
//
// Uniting one rectangle at a time into a growing region copies the whole region for
// every rectangle (n^2 / 2 rectangle copies: minutes for a speckled picture of a few
// million pixels), and so does handing all of them to ExtCreateRegion at once, which
// unites them one by one inside. Instead, small batches become regions of their own
// and regions of equal rank are united pairwise, as in a merge sort: every
// rectangle is copied once per rank, about log2(n / batch) times.
//
// Rows whose runs are identical to the row above are first stretched into one taller
// rectangle per run, which the region would coalesce into anyway: a solid shape then
// costs a rectangle per change of outline rather than one per row.
class TShapeRegionBuilder {
public:
    void Add(const TShapeRun& run) {
        if (run.Row != CurrentRow)
            EndRow(run.Row);
        Current.push_back({run.Left, run.Right});
    }

    HRGN Finish() {
        EndRow(CurrentRow + 1);
        FlushBand();
        FlushLeaf();
        while (Stack.size() > 1)
            UniteTopTwo();
        if (Stack.empty())
            return nullptr;
        return Stack.back().Region.Release();
    }

private:
    // Rectangles per batch given to ExtCreateRegion, which unites them one by one:
    // small enough that this stays cheap, large enough to save calls.
    static constexpr std::size_t LeafSize = 16;

    struct TSpan {
        int Left;
        int Right;
        bool operator==(const TSpan&) const = default;
    };

    struct TRanked {
        TRegionHandle Region;
        int Rank;
    };

    struct TRegionData {
        RGNDATAHEADER Header;
        std::array<RECT, LeafSize> Rects;
    };

    // The runs of CurrentRow are complete: they either extend the band above (same
    // runs, next row) or start a new band.
    void EndRow(int nextRow) {
        if (!Current.empty()) {
            if (CurrentRow == BandBottom && Current == Band) {
                ++BandBottom;
            } else {
                FlushBand();
                Band.swap(Current);
                BandTop = CurrentRow;
                BandBottom = CurrentRow + 1;
            }
            Current.clear();
        }
        CurrentRow = nextRow;
    }

    void FlushBand() {
        for (const TSpan& span : Band) {
            Leaf.Rects[LeafCount++] = {span.Left, BandTop, span.Right, BandBottom};
            if (LeafCount == LeafSize)
                FlushLeaf();
        }
        Band.clear();
    }

    void FlushLeaf() {
        if (LeafCount == 0)
            return;
        RECT bounds = Leaf.Rects[0];
        for (std::size_t i = 1; i < LeafCount; ++i)
            UnionRect(&bounds, &bounds, &Leaf.Rects[i]);
        Leaf.Header = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(LeafCount),
                       static_cast<DWORD>(LeafCount * sizeof(RECT)), bounds};
        const DWORD size = static_cast<DWORD>(sizeof(RGNDATAHEADER) + LeafCount * sizeof(RECT));
        Stack.push_back(
            {TRegionHandle(ExtCreateRegion(nullptr, size, reinterpret_cast<const RGNDATA*>(&Leaf))),
             0});
        LeafCount = 0;
        while (Stack.size() >= 2 && Stack[Stack.size() - 2].Rank == Stack.back().Rank)
            UniteTopTwo();
    }

    // Unites the newest region into the one below it, which goes up a rank.
    void UniteTopTwo() {
        TRanked top = std::move(Stack.back());
        Stack.pop_back();
        TRanked& below = Stack.back();
        CombineRgn(below.Region.Get(), below.Region.Get(), top.Region.Get(), RGN_OR);
        below.Rank = std::max(below.Rank, top.Rank) + 1;
    }

    int CurrentRow = -1;
    std::vector<TSpan> Current;
    std::vector<TSpan> Band;
    int BandTop = 0;
    int BandBottom = -1;
    TRegionData Leaf{};
    std::size_t LeafCount = 0;
    // Ranks strictly decrease from bottom to top, so the stack stays log2(n) deep.
    std::vector<TRanked> Stack;
};

} // namespace

HRGN MakeShapeRegion(TBitmap& bitmap) {
    switch (bitmap.PixelFormat()) {
    case TPixelFormat::pf1bit:
    case TPixelFormat::pf4bit:
        bitmap.SetPixelFormat(TPixelFormat::pf8bit);
        break;
    case TPixelFormat::pf8bit:
    case TPixelFormat::pf24bit:
        break;
    default:
        bitmap.SetPixelFormat(TPixelFormat::pf24bit);
        break;
    }
    const TPixelForm form =
        bitmap.PixelFormat() == TPixelFormat::pf8bit ? TPixelForm::Indexed : TPixelForm::Direct;
    // The key pixel's row: an empty bitmap has none and raises here.
    const std::uint8_t* topRow = bitmap.ScanLine(0);
    const TPixelRows rows{bitmap.Width(), bitmap.Height(), form, topRow,
                          static_cast<std::ptrdiff_t>(bitmap.Dib().Stride())};
    TShapeRegionBuilder builder;
    ForEachShapeRunBatch(rows, [&builder](std::span<const TShapeRun> batch) {
        for (const TShapeRun& run : batch)
            builder.Add(run);
    });
    return builder.Finish();
}
