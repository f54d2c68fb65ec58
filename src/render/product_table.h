#pragma once

#include <array>
#include <cstdint>

namespace oskel {

// entry [i x 256 + j] = i x j / 255, rounded to the nearest integer, halves to even. Built
// once for the program; combines a luma alpha with a stencil byte in one lookup.
class ProductTable {
public:
    ProductTable();
    std::uint8_t operator()(std::uint8_t i, std::uint8_t j) const { return m_table[i * 256u + j]; }
    const std::uint8_t* data() const { return m_table.data(); }

private:
    std::array<std::uint8_t, 256 * 256> m_table {};
};

} // namespace oskel
