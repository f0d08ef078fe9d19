#include "components/BmpDecoder.h"
#include "components/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

// The largest single allocation since the last reset, to prove that a file is
// rejected before its declared size is allocated. Replaces the global operator new
// of the host test program; it only forwards to malloc, which the standard
// operator delete pairs with.
namespace {
std::atomic<std::size_t> LargestAllocation{0};
}

void* operator new(std::size_t size) {
    std::size_t seen = LargestAllocation.load(std::memory_order_relaxed);
    while (size > seen && !LargestAllocation.compare_exchange_weak(seen, size))
        ;
    if (void* p = std::malloc(size != 0 ? size : 1))
        return p;
    throw std::bad_alloc();
}

namespace {

namespace fs = std::filesystem;
using TBytes = std::vector<std::uint8_t>;

const std::wstring InvalidMessage = L"ビットマップイメージが不正です";

TBytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(in), {});
}

std::vector<fs::path> SuiteFiles(const char* folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(BMPSUITE_DIR) / folder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string RunCommand(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

// ImageMagick's reading of a file: its size and its pixels as red, green, blue bytes.
struct TReference {
    int Width = 0;
    int Height = 0;
    TBytes Rgb;
};

TReference ImageMagick(const fs::path& path) {
    std::string quoted = "'";
    quoted += path.string();
    quoted += "'";
    TReference ref;
    const std::string size = RunCommand("identify -format '%w %h' " + quoted + " 2>/dev/null");
    if (std::sscanf(size.c_str(), "%d %d", &ref.Width, &ref.Height) != 2)
        return {};
    const std::string rgb = RunCommand("convert " + quoted + " -depth 8 rgb:- 2>/dev/null");
    ref.Rgb.assign(rgb.begin(), rgb.end());
    return ref;
}

// Where the decoded colours first differ from ImageMagick's, or an empty text.
// `channelBits` gives how many bits each of red, green, blue has in the file; see
// ChannelMatches.
using TChannelMatch = bool (*)(std::uint8_t ours, std::uint8_t theirs, int bits);

bool Exact(std::uint8_t ours, std::uint8_t theirs, int) {
    return ours == theirs;
}

// ImageMagick spreads a channel over 0..255 in its own way unless it is 8 bits wide,
// or 5 or 6 bits in a 16-bit pixel: it shifts narrow channels without filling the low
// bits (a full 4-bit channel gives 240, a full 7-bit one 253 in a 32-bit pixel) and
// rounds wide ones, where we repeat the bits of narrow channels (full stays 255) and
// keep the top 8 bits of wide ones. Both still have to read the same stored value,
// so the two results must lie less than one step of the channel apart.
bool ChannelMatches(std::uint8_t ours, std::uint8_t theirs, int bits) {
    if (bits == 8)
        return ours == theirs;
    const double step = std::max(255.0 / ((1 << std::min(bits, 16)) - 1), 2.0);
    return std::abs(ours - theirs) < step;
}

int MaskBits(std::uint32_t mask) {
    return mask == 0 ? 0 : std::bit_width(mask) - std::countr_zero(mask);
}

std::string CompareWithImageMagick(const fs::path& path, const TDib& dib, TChannelMatch match) {
    const TReference ref = ImageMagick(path);
    if (ref.Rgb.empty())
        return "ImageMagick could not read it (is imagemagick installed?)";
    if (ref.Width != dib.Width || ref.Height != dib.Height)
        return "size " + std::to_string(dib.Width) + "x" + std::to_string(dib.Height) +
               ", ImageMagick " + std::to_string(ref.Width) + "x" + std::to_string(ref.Height);
    const TBytes ours = ToRgb(dib);
    if (ours.size() != ref.Rgb.size())
        return "ImageMagick gave " + std::to_string(ref.Rgb.size()) + " bytes";
    const bool direct = dib.BitCount == 16 || dib.BitCount == 32;
    const int bits[3] = {direct ? MaskBits(dib.RedMask) : 8, direct ? MaskBits(dib.GreenMask) : 8,
                         direct ? MaskBits(dib.BlueMask) : 8};
    for (std::size_t i = 0; i < ours.size(); ++i) {
        if (!match(ours[i], ref.Rgb[i], bits[i % 3])) {
            const std::size_t pixel = i / 3;
            return "pixel (" + std::to_string(pixel % dib.Width) + ", " +
                   std::to_string(pixel / dib.Width) + ") channel " + std::to_string(i % 3) + ": " +
                   std::to_string(ours[i]) + ", ImageMagick " + std::to_string(ref.Rgb[i]);
        }
    }
    return {};
}

// Decodes and reports how it went: "" on success, the message if rejected.
std::wstring Outcome(const TBytes& file, TDib* out = nullptr) {
    try {
        TDib dib = DecodeBmp(file.data(), file.size());
        if (out != nullptr)
            *out = std::move(dib);
        return L"";
    } catch (const EInvalidGraphic& e) {
        return e.Message.empty() ? L"(empty message)" : e.Message;
    }
}

TEST(BmpSuite, GoodFilesMatchImageMagickPixelForPixel) {
    const auto files = SuiteFiles("g");
    ASSERT_GE(files.size(), 27u);
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        TDib dib;
        ASSERT_EQ(Outcome(ReadFile(path), &dib), L"");
        EXPECT_EQ(CompareWithImageMagick(path, dib, Exact), "");
    }
}

TEST(BmpSuite, BadFilesAreRejected) {
    const auto files = SuiteFiles("b");
    ASSERT_GE(files.size(), 20u);
    for (const fs::path& path : files)
        EXPECT_EQ(Outcome(ReadFile(path)), InvalidMessage) << path.filename();
}

// Questionable files: a file either decodes to what ImageMagick shows (within the
// documented differences in widening unusual channel widths) or is rejected with the
// one message. ImageMagick itself refuses some that we decode (a colour table longer
// than the depth allows): those only have to decode.
TEST(BmpSuite, QuestionableFilesDecodeCorrectlyOrAreRejected) {
    for (const fs::path& path : SuiteFiles("q")) {
        SCOPED_TRACE(path.filename().string());
        TDib dib;
        const std::wstring outcome = Outcome(ReadFile(path), &dib);
        if (!outcome.empty()) {
            EXPECT_EQ(outcome, InvalidMessage);
            continue;
        }
        if (ImageMagick(path).Rgb.empty())
            continue;
        EXPECT_EQ(CompareWithImageMagick(path, dib, ChannelMatches), "");
    }
    for (const fs::path& path : SuiteFiles("x")) {
        const std::wstring outcome = Outcome(ReadFile(path));
        EXPECT_TRUE(outcome.empty() || outcome == InvalidMessage) << path.filename();
    }
}

// Every direct-colour file of the suite, whatever its masks, keeps its colours when
// widened to 24 bits.
TEST(BmpSuite, ConvertToRgb24KeepsTheColoursOfEveryDirectFile) {
    int converted = 0;
    for (const char* folder : {"g", "q"}) {
        for (const fs::path& path : SuiteFiles(folder)) {
            TDib dib;
            if (!Outcome(ReadFile(path), &dib).empty() || dib.BitCount <= 8)
                continue;
            SCOPED_TRACE(path.filename().string());
            const TBytes before = ToRgb(dib);
            ConvertToRgb24(dib);
            EXPECT_EQ(dib.PixelFormat(), TPixelFormat::pf24bit);
            ASSERT_EQ(dib.Bits.size(), dib.Stride() * dib.Height);
            EXPECT_TRUE(ToRgb(dib) == before);
            ++converted;
        }
    }
    EXPECT_GE(converted, 20);
}

// ---- Hand-made files for what the suite leaves open ----

void Put16(TBytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(TBytes& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

struct TBmpLayout {
    std::int32_t Width = 1;
    std::int32_t Height = 1;
    std::uint16_t BitCount = 8;
    std::uint32_t Compression = 0;
    std::vector<TRgbQuad> Palette;
    std::vector<std::uint32_t> Masks; // written after the 40-byte header
    TBytes Pixels;                    // as stored in the file
};

// A file with a 40-byte info header; the colour table is as long as Palette.
TBytes MakeBmp(const TBmpLayout& layout) {
    const std::size_t bitsAt = 54 + 4 * layout.Masks.size() + 4 * layout.Palette.size();
    TBytes b(bitsAt);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(bitsAt + layout.Pixels.size()));
    Put32(b, 10, static_cast<std::uint32_t>(bitsAt));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(layout.Width));
    Put32(b, 22, static_cast<std::uint32_t>(layout.Height));
    Put16(b, 26, 1);
    Put16(b, 28, layout.BitCount);
    Put32(b, 30, layout.Compression);
    Put32(b, 34, static_cast<std::uint32_t>(layout.Pixels.size()));
    Put32(b, 38, 3780);
    Put32(b, 42, 3780);
    Put32(b, 46, static_cast<std::uint32_t>(layout.Palette.size()));
    std::size_t at = 54;
    for (std::uint32_t mask : layout.Masks) {
        Put32(b, at, mask);
        at += 4;
    }
    for (const TRgbQuad& q : layout.Palette) {
        b[at++] = q.Blue;
        b[at++] = q.Green;
        b[at++] = q.Red;
        b[at++] = 0;
    }
    b.insert(b.end(), layout.Pixels.begin(), layout.Pixels.end());
    return b;
}

const TRgbQuad Red{0, 0, 255, 0}, Green{0, 255, 0, 0}, Blue{255, 0, 0, 0};

// 3 x 2, 8 bits, stored bottom-up: the file's first row is the bottom one.
TBmpLayout Indexed8() {
    return {3, 2, 8, 0, {Red, Green, Blue, Red}, {}, {3, 2, 1, 0, 0, 1, 2, 0}};
}

// 5 x 2 RLE8: bottom row "7 7 7 5 5", top row "1 2 3 _ 9" where _ is passed over.
TBmpLayout Rle8(TBytes stream, int height = 2) {
    return {5, height, 8, 1, std::vector<TRgbQuad>(10, Green), {}, std::move(stream)};
}
const TBytes GoodRle8 = {3, 7, 2, 5, 0, 0,        // runs, end of line
                         0, 3, 1, 2, 3, 0,        // three literal pixels and a pad byte
                         0, 2, 1, 0, 1, 9, 0, 1}; // a move right, a run, end of bitmap

// 8-bit files keep their indices and colour table exactly: two entries of one colour
// stay two different indices, and rows come out top first in either file order.
TEST(BmpDecoder, IndexedFilesKeepIndicesAndPalette) {
    TBmpLayout bottomUp = Indexed8();
    TBmpLayout topDown = Indexed8();
    topDown.Height = -2;
    topDown.Pixels = {0, 1, 2, 0, 3, 2, 1, 0};
    for (const TBmpLayout& layout : {bottomUp, topDown}) {
        TDib dib;
        ASSERT_EQ(Outcome(MakeBmp(layout), &dib), L"");
        EXPECT_EQ(dib.Width, 3);
        EXPECT_EQ(dib.Height, 2);
        EXPECT_EQ(dib.PixelFormat(), TPixelFormat::pf8bit);
        EXPECT_EQ(dib.Palette, layout.Palette);
        EXPECT_EQ(dib.Bits, (TBytes{0, 1, 2, 0, 3, 2, 1, 0}));
        EXPECT_EQ(ToRgb(dib), (TBytes{255, 0, 0, 0, 255, 0, 0, 0, 255,    // top row
                                      255, 0, 0, 0, 0, 255, 0, 255, 0})); // index 3 is red too
    }
}

TEST(BmpDecoder, RunLengthDataBecomesIndexedRows) {
    TDib dib;
    ASSERT_EQ(Outcome(MakeBmp(Rle8(GoodRle8)), &dib), L"");
    // The pixel the move passed over is index 0.
    EXPECT_EQ(dib.Bits, (TBytes{1, 2, 3, 0, 9, 0, 0, 0, 7, 7, 7, 5, 5, 0, 0, 0}));

    // 4 bits: a run alternates its two nibbles, five literal pixels take three bytes
    // and a pad byte, and an end-of-bitmap before the top row leaves it at index 0.
    const TBmpLayout rle4{5,
                          3,
                          4,
                          2,
                          std::vector<TRgbQuad>(16, Blue),
                          {},
                          {5, 0x12, 0, 0, 0, 5, 0xAB, 0xCD, 0xE0, 0, 0, 1}};
    ASSERT_EQ(Outcome(MakeBmp(rle4), &dib), L"");
    EXPECT_EQ(dib.Bits, (TBytes{0, 0, 0, 0, 0xAB, 0xCD, 0xE0, 0, 0x12, 0x12, 0x10, 0}));
}

TEST(BmpDecoder, RejectsRunLengthDataThatLeavesItsRowOrPicture) {
    const std::vector<TBytes> streams = {
        {6, 7, 0, 1},                         // a run past the row's end
        {3, 7, 3, 7, 0, 1},                   // two runs that together pass it
        {0, 6, 1, 2, 3, 4, 5, 6, 0, 1},       // literal pixels past it
        {0, 2, 6, 0, 0, 1},                   // a move past the right edge
        {0, 2, 0, 2, 0, 1},                   // a move above the top row
        {5, 7, 0, 0, 5, 7, 0, 0, 5, 7, 0, 1}, // a run after the top row
        {5, 7, 0, 0, 5},                      // cut short before the end-of-bitmap
        {0, 3, 1, 2},                         // literal pixels cut short
    };
    for (const TBytes& stream : streams) {
        EXPECT_EQ(Outcome(MakeBmp(Rle8(stream))), InvalidMessage)
            << ::testing::PrintToString(stream);
    }
    const TBmpLayout rle4{
        4, 1, 4, 2, std::vector<TRgbQuad>(16, Blue), {}, {0, 5, 0x12, 0x34, 0x50, 0, 0, 1}};
    EXPECT_EQ(Outcome(MakeBmp(rle4)), InvalidMessage);
}

// Run-length data is only ever stored bottom-up; a negative height is a broken file.
TEST(BmpDecoder, RejectsTopDownRunLengthData) {
    EXPECT_EQ(Outcome(MakeBmp(Rle8(GoodRle8, 2))), L"");
    EXPECT_EQ(Outcome(MakeBmp(Rle8(GoodRle8, -2))), InvalidMessage);
}

TEST(BmpDecoder, RejectsEveryCutShortFile) {
    for (const TBytes& file : {MakeBmp(Indexed8()), MakeBmp(Rle8(GoodRle8))}) {
        ASSERT_EQ(Outcome(file), L"");
        const std::size_t bitsAt = file[10];
        // In each header, in the colour table, at and after the start of the pixels.
        for (std::size_t cut :
             {std::size_t{0}, std::size_t{1}, std::size_t{13}, std::size_t{14}, std::size_t{17},
              std::size_t{30}, std::size_t{53}, std::size_t{54}, std::size_t{58}, bitsAt - 1,
              bitsAt, bitsAt + 1, bitsAt + 4, file.size() - 2, file.size() - 1}) {
            TBytes part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
            EXPECT_EQ(Outcome(part), InvalidMessage) << "cut at " << cut;
            // The same cut with sizes that agree with it: only the data itself is missing.
            if (cut >= 54) {
                Put32(part, 2, static_cast<std::uint32_t>(cut));
                Put32(part, 34, 0);
                EXPECT_EQ(Outcome(part), InvalidMessage) << "cut at " << cut << ", sizes fixed";
            }
        }
    }
}

TEST(BmpDecoder, WidthAndHeightAreCapped) {
    struct TCase {
        std::int32_t Width, Height;
        bool Valid;
    };
    const TCase cases[] = {
        {16384, 1, true},  {16385, 1, false},   {1, 16384, true},    {1, 16385, false},
        {1, -16384, true}, {1, -16385, false},  {0, 1, false},       {1, 0, false},
        {-1, 1, false},    {1, INT_MIN, false}, {INT_MIN, 1, false},
    };
    for (const TCase& c : cases) {
        TBmpLayout layout{c.Width, c.Height, 1, 0, {Red, Green}, {}, {}};
        const long long stride = (std::max(c.Width, 1) + 31) / 32 * 4;
        const long long rows = std::min(std::llabs(c.Height), 16385LL);
        layout.Pixels.assign(static_cast<std::size_t>(stride * rows), 0);
        EXPECT_EQ(Outcome(MakeBmp(layout)), c.Valid ? L"" : InvalidMessage)
            << c.Width << " x " << c.Height;
    }
}

// A tiny file declaring the largest picture is rejected before anything of that size
// is allocated, whether its pixels are plain or run-length encoded.
TEST(BmpDecoder, HugeDeclaredSizeInATinyFileAllocatesNothingLarge) {
    TBmpLayout plain{16384, 16384, 24, 0, {}, {}, TBytes(64, 0)};
    TBytes overrun;
    for (int i = 0; i < 65; ++i) // 65 runs of 255 pass the 16384-pixel row
        overrun.insert(overrun.end(), {255, 1});
    TBmpLayout rle{16384, 16384, 8, 1, {Red, Green}, {}, overrun};
    for (const TBmpLayout& layout : {plain, rle}) {
        const TBytes file = MakeBmp(layout);
        LargestAllocation = 0;
        EXPECT_EQ(Outcome(file), InvalidMessage);
        EXPECT_LT(LargestAllocation.load(), 1u << 20);
    }
}

TEST(BmpDecoder, RejectsIndicesPastAShortPaletteButNotInRowPadding) {
    // 3 x 1, 4 bits, two colours: the padding nibble after the third pixel is 0xF.
    TBmpLayout layout{3, 1, 4, 0, {Red, Green}, {}, {0x10, 0x1F, 0xFF, 0xFF}};
    TDib dib;
    ASSERT_EQ(Outcome(MakeBmp(layout), &dib), L"");
    EXPECT_EQ(dib.Bits, (TBytes{0x10, 0x10, 0, 0})) << "row padding is cleared";
    layout.Pixels[1] = 0x2F;
    EXPECT_EQ(Outcome(MakeBmp(layout)), InvalidMessage);

    TBmpLayout eight = Indexed8();
    eight.Pixels[2] = 4; // the palette has four entries
    EXPECT_EQ(Outcome(MakeBmp(eight)), InvalidMessage);
}

TEST(BmpDecoder, ChannelMasksMustBeSeparateRunsInsideThePixel) {
    struct TCase {
        std::uint16_t BitCount;
        std::vector<std::uint32_t> Masks;
        bool Valid;
    };
    const std::vector<TCase> cases = {
        {16, {0xF800, 0x07E0, 0x001F}, true},
        {16, {0x000F, 0x00F0, 0x0F00}, true},
        {32, {0xFF000000, 0x00FF0000, 0x0000FF00}, true},
        {32, {0x3FF00000, 0x000FFC00, 0x000003FF}, true},
        {16, {0xF800, 0x07E0, 0}, false},       // a channel without bits
        {16, {0xF800, 0x0FE0, 0x001F}, false},  // red and green share a bit
        {16, {0xF400, 0x03E0, 0x001F}, false},  // red is not one run
        {16, {0x1F800, 0x07E0, 0x001F}, false}, // red lies outside 16 bits
    };
    for (const TCase& c : cases) {
        const TBmpLayout layout{1, 1, c.BitCount, 3, {}, c.Masks, TBytes(4, 0xFF)};
        EXPECT_EQ(Outcome(MakeBmp(layout)), c.Valid ? L"" : InvalidMessage)
            << ::testing::PrintToString(c.Masks);
    }
}

// 24-bit pixels accept any bytes, so only the offset check can refuse these.
TEST(BmpDecoder, PixelDataMustStartAfterTheHeadersAndInsideTheFile) {
    TBytes file = MakeBmp({2, 2, 24, 0, {}, {}, TBytes(16, 0x55)});
    for (std::uint32_t offset : {40u, 53u, static_cast<std::uint32_t>(file.size()) + 1}) {
        Put32(file, 10, offset);
        EXPECT_EQ(Outcome(file), InvalidMessage) << "offset " << offset;
    }
}

// A file that declares a full colour table (count 0) but starts its pixels after
// two entries has a two-entry table: the bytes after it are pixels, not colours.
TEST(BmpDecoder, ColourTableEndsWhereThePixelsBegin) {
    TBmpLayout layout = Indexed8();
    layout.Palette = {Red, Green};
    layout.Pixels = {1, 0, 1, 0, 0, 1, 0, 0};
    TBytes file = MakeBmp(layout);
    Put32(file, 46, 0);
    TDib dib;
    ASSERT_EQ(Outcome(file, &dib), L"");
    EXPECT_EQ(dib.Palette, layout.Palette);
    file[file.size() - 2] = 2;
    EXPECT_EQ(Outcome(file), InvalidMessage);
}

} // namespace
