// Reading a Windows bitmap file into a TDib.
#pragma once

#include "components/Dib.h"

#include <cstddef>
#include <cstdint>
#include <span>

// The largest width and the largest height a picture may have, in pixels.
inline constexpr int MaxBmpSide = 16384;

// Decodes a whole bitmap file held in memory.
//
// Accepted: the 12-byte core header and the 40-, 52-, 56-, 108- and 124-byte info
// headers; 1, 4, 8, 24 bits per pixel uncompressed, 8 and 4 bits run-length encoded,
// 16 and 32 bits uncompressed or with channel masks. The result keeps the file's bit
// depth: indexed files keep their indices and colour table exactly (two entries of
// one colour stay two indices), run-length data becomes plain indexed rows, and
// direct files keep their pixel words and masks (ConvertToRgb24 widens them).
//
// Rejected with EInvalidGraphic(L"ビットマップイメージが不正です"). Faults in the
// headers and sizes are found before any memory is taken for the pixels, run-length
// data is walked in full before its rows are allocated, and indices are checked once
// the rows are decoded. Rejected are:
// - anything cut short, or a file size or pixel-data size larger than the data;
// - a header size, plane count, bit count or compression not listed above, and
//   run-length data declared top-down;
// - width or height of 0 or above MaxBmpSide;
// - a resolution above 10^6 pixels per metre (no device has it: a corrupt header);
// - channel masks that are empty, not one run of bits, overlapping, or wider than
//   the pixel;
// - pixel data said to start inside the headers or past the end of the file;
// - a colour-table count that runs past the end of the file, or a pixel whose index
//   lies past the end of the colour table the file holds (the table ends at its
//   count, at 2^BitCount entries, or where the pixel data starts, whichever comes
//   first);
// - run-length data that runs past the end of a row, moves outside the picture, or
//   ends before its end-of-bitmap mark without having filled every row.
// Pixels that run-length data skips (by a move or an early end) get index 0.
TDib DecodeBmp(std::span<const std::uint8_t> file);

inline TDib DecodeBmp(const std::uint8_t* data, std::size_t size) {
    return DecodeBmp(std::span<const std::uint8_t>(data, size));
}
