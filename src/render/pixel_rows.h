#pragma once

#include <cstdint>

#include "render/luma_table.h"
#include "render/product_table.h"

namespace oskel {

// The compositor's per-row pixel routines. Each processes one row of `pixels` pixels, reads
// exactly the bytes of that row and writes exactly pixels x 3 (or x 4) bytes: never past the
// end of the destination. No allocation; written for the compiler to vectorise.
// A destination never overlaps its sources.
// Pixels are blue, green, red (and alpha) bytes.

// Colour swap modes: 0 none, 1 red/green, 2 red/blue, 3 blue/green.
void copyRowWithColourSwap(const std::uint8_t* bgr, std::uint8_t* out, int pixels, int swapMode);
// (b, g, r) becomes (b, g, r, table[b + g + r]).
void lumaAlphaRow(const std::uint8_t* bgr, std::uint8_t* bgra, int pixels, const LumaTable& table);
// (b, g, r) with mask byte k becomes (b, g, r, k).
void stencilAlphaRow(
    const std::uint8_t* bgr, const std::uint8_t* mask, std::uint8_t* bgra, int pixels);
// An RGBA pixel with alpha a and mask byte k keeps its colour and gets product(a, k).
void lumaTimesStencilRow(const std::uint8_t* bgra, const std::uint8_t* mask, std::uint8_t* out,
    int pixels, const ProductTable& product);

} // namespace oskel
