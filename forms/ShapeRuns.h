// The runs of foreground pixels that make up the character window's shape.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// A one-pixel-high strip of foreground: columns [Left, Right) of row Row, rows counted
// from the top of the picture as shown.
struct TShapeRun {
    int Row;
    int Left;
    int Right;

    friend bool operator==(const TShapeRun&, const TShapeRun&) = default;
};

enum class TPixelForm {
    Indexed, // one byte per pixel, a palette index; indices are compared, never colours
    Direct,  // three bytes per pixel, blue, green, red
};

// Pixels as they lie in a bitmap's memory, read in place. TopRow points at the first
// byte of the top row as shown; Stride is the distance in bytes from one row to the
// row below it, padding included. A bottom-up bitmap is fed without copying by
// pointing TopRow at its last stored row and giving a negative Stride.
struct TPixelRows {
    int Width;
    int Height;
    TPixelForm Form;
    const std::uint8_t* TopRow;
    std::ptrdiff_t Stride;
};

// The background key is the value of the top-left pixel; every maximal span of a row
// whose pixels differ from it is a run. Runs come rows top to bottom, left to right
// within a row, and are never merged across rows. A picture without pixels has no
// top-left pixel and gives no runs. Only the Width pixels of each row are read, so
// row padding never takes part.
//
// Appends to the caller's vector, so that its capacity can be reused.
void AppendShapeRuns(const TPixelRows& pixels, std::vector<TShapeRun>& runs);

std::vector<TShapeRun> ShapeRuns(const TPixelRows& pixels);

// The same runs in the same order, handed over in batches of at most
// ShapeRunBatchSize, so that a region can be built batch by batch without holding
// every run of a large picture at once.
inline constexpr std::size_t ShapeRunBatchSize = 1024;
void ForEachShapeRunBatch(const TPixelRows& pixels,
                          const std::function<void(std::span<const TShapeRun>)>& batch);
