// Shaping a large picture against reading its bytes once: the shape scan may cost at
// most three plain reads of the same pixel memory, measured in the same run.
#include "forms/ShapeRuns.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int Side = 2048;
constexpr double Budget = 3.0;

// A stored picture: the bytes of a bottom-up bitmap, as the window system keeps a
// device-independent bitmap, and the rows as the scan reads them in place.
enum class TScene {
    Character, // a large blob in shaded colours on the key background, with holes in
               // the blob and specks around it (about one pixel in two hundred each)
    Noise,     // every pixel a random value: the key turns up only by chance
    Salt,      // every pixel the key or not with equal chance: about a run for every four
               // pixels, whose runs take as much memory as the pixels or more
};

// A stored picture: the bytes of a bottom-up bitmap, as the window system keeps a
// device-independent bitmap, and the rows as the scan reads them in place.
struct TBenchPicture {
    std::string Label;
    TPixelForm Form;
    TScene Scene;
    std::vector<std::uint8_t> Bytes;

    int PixelBytes() const { return Form == TPixelForm::Indexed ? 1 : 3; }
    TPixelRows Rows() const {
        const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(Side) * PixelBytes();
        return {Side, Side, Form, Bytes.data() + (Side - 1) * stride, -stride};
    }
};

struct TRandom {
    std::uint64_t State = 0x9E3779B97F4A7C15u;
    std::uint32_t Next() {
        State ^= State << 13;
        State ^= State >> 7;
        State ^= State << 17;
        return static_cast<std::uint32_t>(State >> 32);
    }
};

TBenchPicture MakePicture(TPixelForm form, TScene scene) {
    TBenchPicture picture;
    picture.Form = form;
    picture.Scene = scene;
    picture.Label = std::string(form == TPixelForm::Indexed ? "2048x2048x8" : "2048x2048x24") +
                    (scene == TScene::Character ? " (character)"
                     : scene == TScene::Noise   ? " (noise)"
                                                : " (salt, half key)");
    const int bytes = picture.PixelBytes();
    picture.Bytes.resize(static_cast<std::size_t>(Side) * Side * bytes);
    const std::uint8_t key[3] = {0x63, 0x5F, 0x5E};
    TRandom random;
    for (int y = 0; y < Side; ++y) {
        // Stored bottom-up: row y as shown is the (Side - 1 - y)-th stored row.
        std::uint8_t* row =
            picture.Bytes.data() + static_cast<std::size_t>(Side - 1 - y) * Side * bytes;
        for (int x = 0; x < Side; ++x) {
            std::uint8_t* p = row + x * bytes;
            bool foreground = true;
            std::uint32_t colour = random.Next();
            if (scene == TScene::Character) {
                const double dx = (x - 1024) / 900.0, dy = (y - 1100) / 940.0;
                const bool inBlob = dx * dx + dy * dy < 1.0;
                foreground = inBlob != (random.Next() % 200 == 0);
                colour = static_cast<std::uint32_t>(x / 8 + y * 3) * 0x010101u;
            } else if (scene == TScene::Salt) {
                foreground = (colour & 1) != 0;
            }
            if (x == 0 && y == 0)
                foreground = false;
            if (!foreground) {
                std::memcpy(p, key, bytes);
                continue;
            }
            for (int i = 0; i < bytes; ++i)
                p[i] = static_cast<std::uint8_t>(colour >> (8 * i));
            // A random value may hit the key by chance; only in noise is that the point.
            if (scene != TScene::Noise && std::memcmp(p, key, bytes) == 0)
                p[0] ^= 1;
        }
    }
    return picture;
}

void ShapeRunsScan(benchmark::State& state, const TBenchPicture* picture) {
    std::vector<TShapeRun> runs;
    for (auto _ : state) {
        runs.clear();
        AppendShapeRuns(picture->Rows(), runs);
        benchmark::DoNotOptimize(runs.data());
        benchmark::ClobberMemory();
    }
    state.counters["runs"] = static_cast<double>(runs.size());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(picture->Bytes.size()));
}

void ShapeRunsBatches(benchmark::State& state, const TBenchPicture* picture) {
    std::int64_t covered = 0;
    for (auto _ : state) {
        covered = 0;
        ForEachShapeRunBatch(picture->Rows(), [&covered](std::span<const TShapeRun> batch) {
            for (const TShapeRun& run : batch)
                covered += run.Right - run.Left;
        });
        benchmark::DoNotOptimize(covered);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(picture->Bytes.size()));
}

// The peer: every byte of the picture read once, as 64-bit words.
void MemoryRead(benchmark::State& state, const TBenchPicture* picture) {
    const std::size_t words = picture->Bytes.size() / sizeof(std::uint64_t);
    for (auto _ : state) {
        std::uint64_t sum = 0;
        const std::uint8_t* p = picture->Bytes.data();
        for (std::size_t i = 0; i < words; ++i) {
            std::uint64_t word;
            std::memcpy(&word, p + i * sizeof word, sizeof word);
            sum += word;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(picture->Bytes.size()));
}

// Keeps the median (or single) real time of each benchmark for the ratio lines.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || !(median || run.run_type == Run::RT_Iteration))
                continue;
            // Seconds per iteration, whatever unit the benchmark reports in.
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            // A median comes after the repetitions it sums up, so it has the last word.
            Seconds[run.run_name.function_name] = seconds;
        }
    }

    std::map<std::string, double> Seconds;
};

} // namespace

int main(int argc, char** argv) {
    std::vector<std::unique_ptr<TBenchPicture>> pictures;
    for (const TPixelForm form : {TPixelForm::Direct, TPixelForm::Indexed})
        for (const TScene scene : {TScene::Character, TScene::Noise, TScene::Salt})
            pictures.push_back(std::make_unique<TBenchPicture>(MakePicture(form, scene)));

    auto configure = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
    };
    for (const auto& picture : pictures) {
        const TBenchPicture* p = picture.get();
        configure(
            benchmark::RegisterBenchmark(("ShapeRuns " + p->Label).c_str(), ShapeRunsScan, p));
        configure(benchmark::RegisterBenchmark(("MemoryRead " + p->Label).c_str(), MemoryRead, p));
    }
    // The form a region builder uses: the same scan, handed over in batches.
    configure(benchmark::RegisterBenchmark(("ShapeRunsBatches " + pictures[0]->Label).c_str(),
                                           ShapeRunsBatches, pictures[0].get()));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n");
    for (const auto& picture : pictures) {
        const auto scan = reporter.Seconds.find("ShapeRuns " + picture->Label);
        const auto read = reporter.Seconds.find("MemoryRead " + picture->Label);
        if (scan == reporter.Seconds.end() || read == reporter.Seconds.end())
            continue;
        const double ratio = scan->second / read->second;
        std::printf("ShapeRuns %s: %.3f ms, memory read %.3f ms, ratio %.2f ",
                    picture->Label.c_str(), scan->second * 1e3, read->second * 1e3, ratio);
        if (picture->Scene == TScene::Salt)
            std::printf(
                "(worst case, outside the budget: its runs take as much memory as its pixels)\n");
        else
            std::printf("(budget <= %.1f)%s\n", Budget, ratio <= Budget ? "" : " OVER BUDGET");
    }
    return 0;
}
