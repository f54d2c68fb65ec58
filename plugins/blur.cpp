// Blur: a box blur of radius 0 to 16, across then down, each pass in vector lanes. The pass
// down keeps running sums of whole rows; the pass across adds up windows of doubling widths
// or, with AVX-512, takes each window as the difference of two running sums. Neither costs
// more for a larger radius, or hardly.
#include <vector>

#include "byte_table.h"
#include "plugin_base.h"

namespace {

constexpr int kMaxRadius = 16;

// (sum x scale + 32768) / 65536 for a sum and a scale of 16 bits, from the high and low
// halves of the product, so that it stays in 16-bit lanes.
inline std::uint8_t average(std::uint16_t sum, std::uint16_t scale)
{
    const std::uint32_t product = std::uint32_t { sum } * scale;
    const auto high = static_cast<std::uint16_t>(product >> 16);
    const auto low = static_cast<std::uint16_t>(product);
    return static_cast<std::uint8_t>(high + (low >> 15));
}

OSKEL_ROW_LOOP void widen(
    std::uint16_t* __restrict to, const std::uint8_t* __restrict from, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        to[i] = from[i];
    }
}

// to[i] = from[i] + from[i + offset]: sums of windows twice as wide.
OSKEL_ROW_LOOP void addAhead(std::uint16_t* __restrict to, const std::uint16_t* __restrict from,
    std::size_t count, std::size_t offset)
{
    for (std::size_t i = 0; i < count; ++i) {
        to[i] = static_cast<std::uint16_t>(from[i] + from[i + offset]);
    }
}

OSKEL_ROW_LOOP void addInto(
    std::uint16_t* __restrict to, const std::uint16_t* __restrict from, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        to[i] = static_cast<std::uint16_t>(to[i] + from[i]);
    }
}

OSKEL_ROW_LOOP void scaleSums(std::uint8_t* __restrict row, const std::uint16_t* __restrict sums,
    std::size_t count, std::uint16_t scale)
{
    for (std::size_t i = 0; i < count; ++i) {
        row[i] = average(sums[i], scale);
    }
}

// One row down: the row's sums out, scaled, and the sums moved one row on.
OSKEL_ROW_LOOP void blurDownRow(std::uint8_t* __restrict out, std::uint16_t* __restrict sums,
    const std::uint8_t* __restrict coming, const std::uint8_t* __restrict leaving,
    std::size_t count, std::uint16_t scale)
{
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = average(sums[i], scale);
        sums[i] = static_cast<std::uint16_t>(sums[i] + coming[i] - leaving[i]);
    }
}

OSKEL_ROW_LOOP void addRow(
    std::uint16_t* __restrict sums, const std::uint8_t* __restrict row, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        sums[i] = static_cast<std::uint16_t>(sums[i] + row[i]);
    }
}

#ifdef OSKEL_BYTE_PERMUTES
// Both passes 32 bytes at a time on processors with AVX-512. Across: each channel's running
// sum along the padded row, modulo 65536, and each window's sum as the difference of two
// running sums (exact, as no window adds up to 65536). Down: the running sums of rows.
namespace wide {

// Lane permutes: lane l from lane l - n (3, 6, 12, 24), and each lane from the last lane of its
// channel in the 32 lanes before.
struct LaneIndices {
    alignas(64) std::uint16_t down[4][32];
    alignas(64) std::uint16_t lastOfChannel[32];
};

constexpr LaneIndices makeLaneIndices()
{
    LaneIndices made {};
    for (int lane = 0; lane < 32; ++lane) {
        for (int step = 0; step < 4; ++step) {
            const int from = lane - (3 << step);
            made.down[step][lane] = static_cast<std::uint16_t>(from < 0 ? 0 : from);
        }
        made.lastOfChannel[lane] = static_cast<std::uint16_t>(29 + lane % 3);
    }
    return made;
}

constexpr LaneIndices kLanes = makeLaneIndices();

OSKEL_BYTE_PERMUTE_TARGET inline __m512i lanes(const std::uint16_t (&indices)[32])
{
    return _mm512_load_si512(indices);
}

// sums[i + 3] = bytes[i] + bytes[i - 3] + bytes[i - 6] + ..., for `count` bytes (a multiple
// of 32); sums[0..2] = 0.
OSKEL_BYTE_PERMUTE_TARGET void runningSums(
    std::uint16_t* sums, const std::uint8_t* bytes, std::size_t count)
{
    sums[0] = sums[1] = sums[2] = 0;
    __m512i before = _mm512_setzero_si512();
    for (std::size_t i = 0; i < count; i += 32) {
        __m512i x
            = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i)));
        for (int step = 0; step < 4; ++step) {
            const auto above = static_cast<__mmask32>(~0u << (3 << step));
            x = _mm512_add_epi16(
                x, _mm512_maskz_permutexvar_epi16(above, lanes(kLanes.down[step]), x));
        }
        x = _mm512_add_epi16(x,
            _mm512_maskz_permutexvar_epi16(~__mmask32 { 0 }, lanes(kLanes.lastOfChannel), before));
        _mm512_storeu_si512(sums + 3 + i, x);
        before = x;
    }
}

// (sum x scale + 32768) / 65536 in each 16-bit lane, as bytes.
OSKEL_BYTE_PERMUTE_TARGET inline __m256i averages(__m512i sum, __m512i scale)
{
    const __m512i high = _mm512_mulhi_epu16(sum, scale);
    const __m512i low = _mm512_mullo_epi16(sum, scale);
    // (The zero-masked narrowing: GCC 12's header for the plain one reads an undefined register.)
    return _mm512_maskz_cvtepi16_epi8(
        ~__mmask32 { 0 }, _mm512_add_epi16(high, _mm512_srli_epi16(low, 15)));
}

OSKEL_BYTE_PERMUTE_TARGET inline __mmask32 firstLanes(std::size_t left)
{
    return left >= 32 ? ~__mmask32 { 0 } : (__mmask32 { 1 } << left) - 1;
}

// Each of `count` bytes of the row: the window of `windowBytes` running-sum lanes ending at
// it, averaged.
OSKEL_BYTE_PERMUTE_TARGET void windowAverages(std::uint8_t* row, const std::uint16_t* sums,
    std::size_t count, std::size_t windowBytes, std::uint16_t scale)
{
    const __m512i factor = _mm512_set1_epi16(static_cast<std::int16_t>(scale));
    for (std::size_t i = 0; i < count; i += 32) {
        const __m512i sum = _mm512_sub_epi16(
            _mm512_loadu_si512(sums + i + windowBytes), _mm512_loadu_si512(sums + i));
        _mm256_mask_storeu_epi8(row + i, firstLanes(count - i), averages(sum, factor));
    }
}

// One row down (as blurDownRow), for `count` bytes, a multiple of 32.
OSKEL_BYTE_PERMUTE_TARGET void downRow(std::uint8_t* out, std::uint16_t* sums,
    const std::uint8_t* coming, const std::uint8_t* leaving, std::size_t count, std::uint16_t scale)
{
    const __m512i factor = _mm512_set1_epi16(static_cast<std::int16_t>(scale));
    for (std::size_t i = 0; i < count; i += 32) {
        const __m512i sum = _mm512_loadu_si512(sums + i);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), averages(sum, factor));
        const __m512i in = _mm512_cvtepu8_epi16(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(coming + i)));
        const __m512i out16 = _mm512_cvtepu8_epi16(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(leaving + i)));
        _mm512_storeu_si512(sums + i, _mm512_sub_epi16(_mm512_add_epi16(sum, in), out16));
    }
}

} // namespace wide
#endif

struct Blur {
    static constexpr const char* kId = "OKbl";
    static constexpr const char* kName = "Blur";
    static constexpr std::array kParameters { oskel_plugins::Parameter { "Radius", 0.125f } };

    Blur(int w, int h)
        : width(w)
        , height(h)
        , stride(static_cast<std::size_t>(w) * 3)
        , line(roundedUp(stride + kMaxRadius * 2 * 3))
        , windows(line.size())
        , nextWindows(line.size())
        , sums(stride)
        , across(stride * static_cast<std::size_t>(h))
        , runningSums(line.size() + 64)
    {
    }

    static std::size_t roundedUp(std::size_t bytes) { return (bytes + 31) / 32 * 32; }

    // The row copied with `radius` edge pixels either side; returns the padded row's bytes.
    std::size_t pad(const std::uint8_t* row, int radius)
    {
        std::uint8_t* padded = line.data();
        for (int k = 0; k < radius; ++k) {
            std::memcpy(padded + k * 3, row, 3);
        }
        std::memcpy(padded + radius * 3, row, stride);
        const std::uint8_t* last = row + stride - 3;
        for (int k = 0; k < radius; ++k) {
            std::memcpy(padded + radius * 3 + stride + static_cast<std::size_t>(k) * 3, last, 3);
        }
        return stride + static_cast<std::size_t>(2 * radius) * 3;
    }

    // One row across, from a copy padded with `radius` edge pixels either side. A running sum
    // would chain every pixel to the one before; instead the sums of windows of 1, 2, 4, ...
    // pixels are made in vector passes, each from the one before, and the window of
    // 2 x radius + 1 pixels is added up from those its width is made of: a few passes over the
    // row whatever the radius, and the same sums.
    void blurRow(std::uint8_t* out, const std::uint8_t* row, int radius, std::uint16_t scale)
    {
        const int window = 2 * radius + 1;
        std::size_t valid = pad(row, radius); // sums made
        widen(windows.data(), line.data(), valid);
        std::uint16_t* current = windows.data(); // sums of `span` pixels from each byte on
        std::uint16_t* spare = nextWindows.data();
        bool started = false;
        std::size_t offset = 0; // bytes of the window already added up
        for (int span = 1, left = window; left != 0; span *= 2, left >>= 1) {
            if ((left & 1) != 0) {
                if (started) {
                    addInto(sums.data(), current + offset, stride);
                } else {
                    std::memcpy(sums.data(), current + offset, stride * 2);
                    started = true;
                }
                offset += static_cast<std::size_t>(span) * 3;
            }
            if ((left >> 1) != 0) {
                const std::size_t ahead = static_cast<std::size_t>(span) * 3;
                valid -= ahead;
                addAhead(spare, current, valid, ahead);
                std::swap(current, spare);
            }
        }
        scaleSums(out, sums.data(), stride, scale);
    }

    // Row `y` of the picture blurred across (edges repeated).
    const std::uint8_t* blurredAcross(int y) const
    {
        y = std::clamp(y, 0, height - 1);
        return across.data() + static_cast<std::size_t>(y) * stride;
    }

    void blurDown(std::uint8_t* frame, int radius, std::uint16_t scale)
    {
        std::fill(sums.begin(), sums.end(), std::uint16_t { 0 });
        for (int k = -radius; k <= radius; ++k) {
            addRow(sums.data(), blurredAcross(k), stride);
        }
        for (int y = 0; y < height; ++y) {
            downRow(frame + static_cast<std::size_t>(y) * stride, blurredAcross(y + radius + 1),
                blurredAcross(y - radius), scale);
        }
    }

    void process(std::uint8_t* frame, const float* values)
    {
        const int radius = oskel_plugins::scaled(values[0], kMaxRadius);
        if (radius == 0) {
            return;
        }
        const int window = radius * 2 + 1;
        // 1 / window in 1/65536, rounded (at most 21845).
        const auto scale = static_cast<std::uint16_t>((65536 + window / 2) / window);
        blurAcross(frame, radius, scale);
        blurDown(frame, radius, scale);
    }

    void blurAcross(std::uint8_t* frame, int radius, std::uint16_t scale)
    {
#ifdef OSKEL_BYTE_PERMUTES
        if (oskel_plugins::byteTablesAreFast()) {
            const auto windowBytes = static_cast<std::size_t>(radius * 6 + 3);
            for (int y = 0; y < height; ++y) {
                const std::size_t at = static_cast<std::size_t>(y) * stride;
                wide::runningSums(
                    runningSums.data(), line.data(), roundedUp(pad(frame + at, radius)));
                wide::windowAverages(
                    across.data() + at, runningSums.data(), stride, windowBytes, scale);
            }
            return;
        }
#endif
        for (int y = 0; y < height; ++y) {
            const std::size_t at = static_cast<std::size_t>(y) * stride;
            blurRow(across.data() + at, frame + at, radius, scale);
        }
    }

    // One row down, in as many whole vectors as the row holds where there are fast ones.
    void downRow(std::uint8_t* out, const std::uint8_t* coming, const std::uint8_t* leaving,
        std::uint16_t scale)
    {
        std::size_t done = 0;
#ifdef OSKEL_BYTE_PERMUTES
        if (oskel_plugins::byteTablesAreFast()) {
            done = stride / 32 * 32;
            wide::downRow(out, sums.data(), coming, leaving, done, scale);
        }
#endif
        blurDownRow(
            out + done, sums.data() + done, coming + done, leaving + done, stride - done, scale);
    }

    int width;
    int height;
    std::size_t stride;
    std::vector<std::uint8_t> line;
    std::vector<std::uint16_t> windows;
    std::vector<std::uint16_t> nextWindows;
    std::vector<std::uint16_t> sums;
    std::vector<std::uint8_t> across; // the picture blurred across, read by the pass down
    std::vector<std::uint16_t> runningSums;
};

} // namespace

OSKEL_PLUGIN(Blur)
