#include "forms/ShapeRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

void PrintTo(const TShapeRun& run, std::ostream* os) {
    *os << "(" << run.Row << ", " << run.Left << ", " << run.Right << ")";
}

namespace {

constexpr std::uint8_t KeyB = 0x63, KeyG = 0x5F, KeyR = 0x5E;
constexpr std::uint8_t PaddingByte = 0xAA; // never a key byte

// A bitmap in memory as a device-independent bitmap holds it: rows padded, stored
// top-down or bottom-up.
class TPicture {
public:
    TPicture(int width, int height, TPixelForm form, int padding = 0, bool bottomUp = false)
        : Width(width), Height(height), Form(form), BottomUp(bottomUp),
          StoredStride(width * PixelBytes() + padding),
          Bytes(static_cast<size_t>(StoredStride) * height, PaddingByte) {}

    int PixelBytes() const { return Form == TPixelForm::Indexed ? 1 : 3; }

    const std::uint8_t* Pixel(int x, int y) const {
        const int stored = BottomUp ? Height - 1 - y : y;
        return Bytes.data() + stored * StoredStride + x * PixelBytes();
    }
    std::uint8_t* Pixel(int x, int y) {
        return const_cast<std::uint8_t*>(std::as_const(*this).Pixel(x, y));
    }
    void SetDirect(int x, int y, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
        std::uint8_t* p = Pixel(x, y);
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }

    TPixelRows Rows() const {
        const std::uint8_t* top = Bytes.data() + (BottomUp ? (Height - 1) * StoredStride : 0);
        return {Width, Height, Form, top, BottomUp ? -StoredStride : StoredStride};
    }

    int Width;
    int Height;
    TPixelForm Form;
    bool BottomUp;
    std::ptrdiff_t StoredStride;
    std::vector<std::uint8_t> Bytes;
};

// The definition, pixel by pixel: the peer the group-at-a-time scan must agree with.
std::vector<TShapeRun> ReferenceRuns(const TPicture& picture) {
    std::vector<TShapeRun> runs;
    const int bytes = picture.PixelBytes();
    const std::vector<std::uint8_t> key(picture.Pixel(0, 0), picture.Pixel(0, 0) + bytes);
    for (int y = 0; y < picture.Height; ++y) {
        int start = -1;
        for (int x = 0; x < picture.Width; ++x) {
            const bool isKey = std::memcmp(picture.Pixel(x, y), key.data(), bytes) == 0;
            if (isKey && start >= 0) {
                runs.push_back({y, start, x});
                start = -1;
            } else if (!isKey && start < 0) {
                start = x;
            }
        }
        if (start >= 0)
            runs.push_back({y, start, picture.Width});
    }
    return runs;
}

// The built-in character picture's shape: 90 x 30, 24-bit, key colour only at (0, 0)
// and (45, 1), the rest in assorted other colours.
TPicture BuiltInLikePicture(int padding, bool bottomUp) {
    TPicture picture(90, 30, TPixelForm::Direct, padding, bottomUp);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 90; ++x)
            picture.SetDirect(x, y, static_cast<std::uint8_t>(x * 7),
                              static_cast<std::uint8_t>(y * 11), 0x20);
    picture.SetDirect(0, 0, KeyB, KeyG, KeyR);
    picture.SetDirect(45, 1, KeyB, KeyG, KeyR);
    return picture;
}

TEST(ShapeRuns, BuiltInPictureInEveryRowLayout) {
    std::vector<TShapeRun> expected = {{0, 1, 90}, {1, 0, 45}, {1, 46, 90}};
    for (int y = 2; y < 30; ++y)
        expected.push_back({y, 0, 90});

    struct Layout {
        int padding;
        bool bottomUp;
    };
    for (const Layout layout : {Layout{0, false}, Layout{2, false}, Layout{2, true}}) {
        const TPicture picture = BuiltInLikePicture(layout.padding, layout.bottomUp);
        EXPECT_EQ(ShapeRuns(picture.Rows()), expected)
            << "padding " << layout.padding << ", bottom-up " << layout.bottomUp;
    }
}

struct Case {
    const char* name;
    TPixelForm form;
    std::vector<std::string> rows;
    std::vector<TShapeRun> expected;
};

// '.' is the key. Direct form: '#' another colour; 'b', 'g', 'r' the key colour with
// only its blue, green or red byte changed. Indexed form: index 0 is the key, '1' is
// palette index 1 holding the very same colour as index 0, '#' index 7.
TPicture PictureFromText(const Case& c) {
    const int width = static_cast<int>(c.rows[0].size());
    const int height = static_cast<int>(c.rows.size());
    // Rows padded to four bytes, as a bitmap stores them, with bytes that are not key.
    const int rowBytes = width * (c.form == TPixelForm::Indexed ? 1 : 3);
    TPicture picture(width, height, c.form, (4 - rowBytes % 4) % 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const char ch = c.rows[y][x];
            if (c.form == TPixelForm::Indexed) {
                *picture.Pixel(x, y) = ch == '.' ? 0 : ch == '1' ? 1 : 7;
                continue;
            }
            std::uint8_t b = KeyB, g = KeyG, r = KeyR;
            if (ch == '#')
                b = g = r = 0;
            b += ch == 'b';
            g += ch == 'g';
            r += ch == 'r';
            picture.SetDirect(x, y, b, g, r);
        }
    }
    return picture;
}

TEST(ShapeRuns, SmallPictures) {
    using enum TPixelForm;
    const std::vector<Case> cases = {
        {"one pixel", Direct, {"."}, {}},
        {"one indexed pixel", Indexed, {"."}, {}},
        {"all key", Direct, {"...", "...", "..."}, {}},
        // padding bytes after whole groups and after a tail are never read as pixels
        {"all key, padded rows", Indexed, {std::string(65, '.'), std::string(65, '.')}, {}},
        {"all key, padded direct rows", Direct, {std::string(17, '.'), std::string(17, '.')}, {}},
        {"row ending in foreground", Direct, {".#.##"}, {{0, 1, 2}, {0, 3, 5}}},
        {"foreground whole rows are not merged",
         Direct,
         {".##", "###", "##."},
         {{0, 1, 3}, {1, 0, 3}, {2, 0, 2}}},
        {"one byte differing is foreground", Direct, {".b.g.r"}, {{0, 1, 2}, {0, 3, 4}, {0, 5, 6}}},
        {"near-key pixels join into one run", Direct, {".bgr."}, {{0, 1, 4}}},
        {"second index of the key colour is foreground",
         Indexed,
         {".1#.", "11.1"},
         {{0, 1, 3}, {1, 0, 2}, {1, 3, 4}}},
    };
    for (const Case& c : cases) {
        const TPicture picture = PictureFromText(c);
        EXPECT_EQ(ShapeRuns(picture.Rows()), c.expected) << c.name;
    }
}

TEST(ShapeRuns, EmptyPictureGivesNoRuns) {
    EXPECT_TRUE(ShapeRuns({0, 0, TPixelForm::Direct, nullptr, 0}).empty());
    EXPECT_TRUE(ShapeRuns({0, 5, TPixelForm::Indexed, nullptr, 0}).empty());
}

// Widths around the sizes of the groups the scan reads at a time, random key density,
// near-key colours, padding and both row orders: the scan must agree with the
// pixel-by-pixel definition everywhere, including where groups meet and at row ends.
TEST(ShapeRuns, AgreesWithPixelByPixelDefinition) {
    std::mt19937 random(20240611);
    const int widths[] = {1,  2,  3,  15, 16,  17,  31,  32,  33,  47, 48,
                          49, 63, 64, 65, 127, 128, 129, 130, 200, 333};
    for (const TPixelForm form : {TPixelForm::Indexed, TPixelForm::Direct}) {
        for (const int width : widths) {
            for (const int keyPercent : {3, 50, 97}) {
                const int padding = static_cast<int>(random() % 4);
                TPicture picture(width, 5, form, padding, random() % 2 == 0);
                const std::uint8_t key[3] = {KeyB, KeyG, KeyR};
                for (int y = 0; y < picture.Height; ++y) {
                    for (int x = 0; x < width; ++x) {
                        std::uint8_t* p = picture.Pixel(x, y);
                        std::memcpy(p, key, picture.PixelBytes());
                        if (static_cast<int>(random() % 100) < keyPercent)
                            continue;
                        // Otherwise the key with one byte changed, often just by one.
                        const int byte = static_cast<int>(random() % picture.PixelBytes());
                        const int delta =
                            random() % 2 == 0 ? 1 : 1 + static_cast<int>(random() % 255);
                        p[byte] = static_cast<std::uint8_t>(p[byte] + delta);
                    }
                }
                // The top-left pixel decides the key, even when most pixels have another
                // value; here it is the common value or, by chance, a near-key one.
                const std::vector<TShapeRun> expected = ReferenceRuns(picture);
                EXPECT_EQ(ShapeRuns(picture.Rows()), expected)
                    << "width " << width << ", key " << keyPercent << "%, form "
                    << static_cast<int>(form);
            }
        }
    }
}

TEST(ShapeRuns, AppendAndBatchesGiveTheSameRuns) {
    // One-pixel stripes: far more runs than one batch holds.
    TPicture picture(301, 20, TPixelForm::Indexed);
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x)
            *picture.Pixel(x, y) = static_cast<std::uint8_t>(x % 2);
    const std::vector<TShapeRun> all = ShapeRuns(picture.Rows());
    ASSERT_EQ(all.size(), 150u * 20u);

    std::vector<TShapeRun> appended = {{-1, -1, -1}};
    AppendShapeRuns(picture.Rows(), appended);
    ASSERT_EQ(appended.size(), all.size() + 1);
    EXPECT_EQ(appended.front(), (TShapeRun{-1, -1, -1}));
    EXPECT_TRUE(std::equal(all.begin(), all.end(), appended.begin() + 1));

    std::vector<TShapeRun> batched;
    std::size_t batches = 0;
    ForEachShapeRunBatch(picture.Rows(), [&](std::span<const TShapeRun> batch) {
        EXPECT_FALSE(batch.empty());
        EXPECT_LE(batch.size(), ShapeRunBatchSize);
        batched.insert(batched.end(), batch.begin(), batch.end());
        ++batches;
    });
    EXPECT_EQ(batched, all);
    EXPECT_EQ(batches, (all.size() + ShapeRunBatchSize - 1) / ShapeRunBatchSize);
}

} // namespace
