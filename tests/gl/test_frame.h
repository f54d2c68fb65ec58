#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

#include "sources/source_info.h"

namespace oskel::test {

// Blue, green and red bytes of one pixel.
struct Bgr {
    int b = 0;
    int g = 0;
    int r = 0;
    bool operator==(const Bgr&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Bgr& colour)
{
    return out << "(b " << colour.b << ", g " << colour.g << ", r " << colour.r << ")";
}

inline constexpr Bgr kBlack { 0, 0, 0 };
inline constexpr Bgr kWhite { 255, 255, 255 };
inline constexpr Bgr kRed { 0, 0, 255 };
inline constexpr Bgr kGreen { 0, 255, 0 };
inline constexpr Bgr kBlue { 255, 0, 0 };

// A decoded frame as the sources deliver it: 24-bit blue-green-red pixels, rows bottom-up and
// packed, with its bitmap header.
struct TestFrame {
    TBitmapInfoHeader header;
    std::vector<std::uint8_t> pixels;

    TestFrame(int width, int height, Bgr fill)
    {
        header.width = width;
        header.height = height;
        header.sizeImage = static_cast<std::uint32_t>(width * height * 3);
        pixels.resize(std::size_t(header.sizeImage));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                set(x, y, fill);
            }
        }
    }

    // y counts rows from the bottom.
    void set(int x, int y, Bgr colour)
    {
        const std::size_t at = (std::size_t(y) * std::size_t(header.width) + std::size_t(x)) * 3;
        pixels[at] = static_cast<std::uint8_t>(colour.b);
        pixels[at + 1] = static_cast<std::uint8_t>(colour.g);
        pixels[at + 2] = static_cast<std::uint8_t>(colour.r);
    }

    // Paints columns [x0, x1) of every row.
    void fillColumns(int x0, int x1, Bgr colour)
    {
        for (int y = 0; y < header.height; ++y) {
            for (int x = x0; x < x1; ++x) {
                set(x, y, colour);
            }
        }
    }
};

} // namespace oskel::test
