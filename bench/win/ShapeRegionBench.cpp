// Building the character window's region, measured under the real window system:
// each picture against the plain way of uniting one run's rectangle at a time into
// one growing region (where that way ends in reasonable time), and against two
// budgets: the 2048 x 2048 noise picture in at most 0.35 s, and twice the runs in at
// most 2.3 times the time.
#include "components/Graphics.h"
#include "components/Handles.h"
#include "forms/ShapeRegion.h"
#include "forms/ShapeRuns.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double NoiseBudgetSeconds = 0.35;
constexpr double DoublingBudget = 2.3;
// The run-by-run way costs the square of the runs: above this it takes minutes.
constexpr std::size_t MaxRunsForPerRun = 50000;

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

// The shortest of several runs of the action, at least `minimum` of them and as many
// as fit in about a second.
double BestSeconds(const std::function<void()>& action, int minimum = 3) {
    double best = 1e30;
    const double start = Now();
    for (int i = 0; i < minimum || (Now() - start < 1.0 && i < 50); ++i) {
        const double t0 = Now();
        action();
        best = std::min(best, Now() - t0);
    }
    return best;
}

struct TRandom {
    std::uint64_t State = 0x9E3779B97F4A7C15u;
    std::uint32_t Next() {
        State ^= State << 13;
        State ^= State >> 7;
        State ^= State << 17;
        return static_cast<std::uint32_t>(State >> 32);
    }
};

// A 24-bit picture whose pixel (x, y) has colour colorOf(x, y).
TDib MakePicture(int width, int height, const std::function<std::uint32_t(int, int)>& colorOf) {
    TDib dib;
    dib.Width = width;
    dib.Height = height;
    dib.BitCount = 24;
    dib.Bits.resize(dib.Stride() * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = dib.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colorOf(x, y);
            row[3 * x] = static_cast<std::uint8_t>(c);
            row[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
        }
    }
    return dib;
}

constexpr std::uint32_t Key = 0x636F5E;
constexpr std::uint32_t Ink = 0x204080;

// One filled disk on the key.
TDib Blob(int side) {
    const int r = side * 2 / 5, c = side / 2;
    return MakePicture(side, side, [=](int x, int y) {
        return (x - c) * (x - c) + (y - c) * (y - c) <= r * r ? Ink : Key;
    });
}

// Diagonal stripes eight pixels wide: every row's runs differ from the row above.
TDib Stripes(int width, int height) {
    return MakePicture(width, height,
                       [](int x, int y) { return ((x + y) / 8) % 2 == 0 ? Key : Ink; });
}

// Every pixel one of four colours at random, the key among them: about 0.19 runs
// per pixel, the worst a photograph-like picture with a poor key comes to.
TDib Noise(int width, int height) {
    TRandom random;
    static constexpr std::uint32_t colors[4] = {Key, Ink, 0xC0C0C0, 0x102030};
    TDib dib = MakePicture(width, height, [&](int, int) { return colors[random.Next() >> 30]; });
    // The key must be the top-left pixel's colour.
    dib.ScanLine(0)[0] = static_cast<std::uint8_t>(Key);
    dib.ScanLine(0)[1] = static_cast<std::uint8_t>(Key >> 8);
    dib.ScanLine(0)[2] = static_cast<std::uint8_t>(Key >> 16);
    return dib;
}

// The region as designed first: one CreateRectRgn and one CombineRgn per run.
HRGN PerRunRegion(const std::vector<TShapeRun>& runs) {
    TRegionHandle region;
    for (const TShapeRun& run : runs) {
        TRegionHandle rect(CreateRectRgn(run.Left, run.Row, run.Right, run.Row + 1));
        if (!region)
            region = std::move(rect);
        else
            CombineRgn(region.Get(), region.Get(), rect.Get(), RGN_OR);
    }
    return region.Release();
}

// A picture ready to shape: already in a normalised format, so that every timed
// call does the same work.
struct TCase {
    const char* Label;
    TBitmap Bitmap;
    std::vector<TShapeRun> Runs;

    TCase(const char* label, TDib dib) : Label(label) {
        Bitmap.Assign(std::move(dib));
        const TDib& pixels = Bitmap.Dib();
        Runs = ShapeRuns({pixels.Width, pixels.Height, TPixelForm::Direct, pixels.Bits.data(),
                          static_cast<std::ptrdiff_t>(pixels.Stride())});
    }
    void Shape() { TRegionHandle region(MakeShapeRegion(Bitmap)); }
};

void Report(TCase& c, double seconds) {
    char perRun[96];
    if (c.Runs.size() <= MaxRunsForPerRun) {
        const double plain = BestSeconds([&] { TRegionHandle region(PerRunRegion(c.Runs)); }, 1);
        std::snprintf(perRun, sizeof perRun, "per-run %10.3f ms  ratio %7.3f", plain * 1e3,
                      seconds / plain);
    } else {
        std::snprintf(perRun, sizeof perRun, "per-run skipped (over %zu runs)", MaxRunsForPerRun);
    }
    std::printf("ShapeRegion %-22s runs %8zu  %9.3f ms  %s\n", c.Label, c.Runs.size(),
                seconds * 1e3, perRun);
    std::fflush(stdout);
}

void Measure(const char* label, TDib dib) {
    TCase c(label, std::move(dib));
    Report(c, BestSeconds([&] { c.Shape(); }));
}

} // namespace

int main() {
    TPicture builtin;
    builtin.LoadFromResource(L"BUILTIN");
    TDib builtinDib = builtin.Bitmap().Dib();

    Measure("90x30 built-in", std::move(builtinDib));
    Measure("512x512 blob", Blob(512));
    Measure("512x512 stripes", Stripes(512, 512));
    Measure("512x512 noise", Noise(512, 512));
    Measure("2048x2048 stripes", Stripes(2048, 2048));
    // The pair behind both budgets is timed in turns, so that a change in the load of
    // the (shared) machine during the run weighs on both alike.
    TCase half("2048x1024 noise", Noise(2048, 1024));
    TCase full("2048x2048 noise", Noise(2048, 2048));
    double halfSeconds = 1e30, fullSeconds = 1e30;
    const double start = Now();
    for (int round = 0; round < 5 || (round < 30 && Now() - start < 4.0); ++round) {
        double t0 = Now();
        half.Shape();
        halfSeconds = std::min(halfSeconds, Now() - t0);
        t0 = Now();
        full.Shape();
        fullSeconds = std::min(fullSeconds, Now() - t0);
    }
    Report(half, halfSeconds);
    Report(full, fullSeconds);

    const double budgetRatio = fullSeconds / NoiseBudgetSeconds;
    const double runRatio =
        static_cast<double>(full.Runs.size()) / static_cast<double>(half.Runs.size());
    const double doubling = fullSeconds / halfSeconds;
    std::printf("\nShapeRegion 2048x2048 noise: %.3f s against the %.2f s budget, ratio %.2f "
                "(budget <= 1.0)%s\n",
                fullSeconds, NoiseBudgetSeconds, budgetRatio,
                budgetRatio <= 1.0 ? "" : " OVER BUDGET");
    std::printf("ShapeRegion doubling: %.2f times the runs (%zu -> %zu) took %.2f times the "
                "time, ratio %.2f (budget <= %.1f)%s\n",
                runRatio, half.Runs.size(), full.Runs.size(), doubling, doubling, DoublingBudget,
                doubling <= DoublingBudget ? "" : " OVER BUDGET");
    return 0;
}
