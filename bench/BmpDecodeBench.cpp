// Decoding a large 24-bit bitmap file, against stb_image decoding the same bytes in
// the same run. Budget: ours takes at most as long as stb_image.
#include "components/BmpDecoder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include "stb_image.h"
#pragma GCC diagnostic pop

namespace {

constexpr int Side = 2048;
constexpr double Budget = 1.0;

// A bottom-up 24-bit file, the form picture editors write, with varied pixels.
std::vector<std::uint8_t> MakeFile() {
    const std::uint32_t stride = Side * 3;
    const std::uint32_t bitsSize = stride * Side;
    std::vector<std::uint8_t> file(54 + bitsSize);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, Side);
    put32(22, Side);
    put32(26, 1 | 24 << 16); // planes, bit count
    put32(34, bitsSize);
    std::uint32_t seed = 12345;
    for (std::size_t i = 54; i < file.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        file[i] = static_cast<std::uint8_t>(seed >> 16);
    }
    return file;
}

const std::vector<std::uint8_t>& File() {
    static const std::vector<std::uint8_t> file = MakeFile();
    return file;
}

void Tomarin(benchmark::State& state) {
    const auto& file = File();
    for (auto _ : state) {
        TDib dib = DecodeBmp(file.data(), file.size());
        benchmark::DoNotOptimize(dib.Bits.data());
    }
}

void StbImage(benchmark::State& state) {
    const auto& file = File();
    for (auto _ : state) {
        int width, height, channels;
        stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width,
                                                &height, &channels, 0);
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
}

// Both decoders must see the same picture, or the comparison means nothing.
bool SamePicture() {
    const auto& file = File();
    const std::vector<std::uint8_t> ours = ToRgb(DecodeBmp(file.data(), file.size()));
    int width, height, channels;
    stbi_uc* theirs = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width,
                                            &height, &channels, 3);
    const bool same = theirs != nullptr && width == Side && height == Side &&
                      std::equal(ours.begin(), ours.end(), theirs);
    stbi_image_free(theirs);
    return same;
}

// Keeps the median real time of each benchmark, in seconds per decode.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || !(median || run.run_type == Run::RT_Iteration))
                continue;
            Seconds[run.run_name.function_name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }

    std::map<std::string, double> Seconds;
};

} // namespace

int main(int argc, char** argv) {
    if (!SamePicture()) {
        std::fprintf(stderr, "BmpDecode: the two decoders disagree on the test picture\n");
        return 1;
    }
    for (auto* b : {benchmark::RegisterBenchmark("BmpDecode/tomarin", Tomarin),
                    benchmark::RegisterBenchmark("BmpDecode/stb_image", StbImage)})
        b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto ours = reporter.Seconds.find("BmpDecode/tomarin");
    const auto stb = reporter.Seconds.find("BmpDecode/stb_image");
    if (ours == reporter.Seconds.end() || stb == reporter.Seconds.end())
        return 0;
    const double ratio = ours->second / stb->second;
    std::printf("\nBmpDecode %dx%dx24: tomarin %.3f ms, stb_image %.3f ms, ratio %.2f (budget <= "
                "%.1f)%s\n",
                Side, Side, ours->second * 1e3, stb->second * 1e3, ratio, Budget,
                ratio <= Budget ? "" : " OVER BUDGET");
    return 0;
}
