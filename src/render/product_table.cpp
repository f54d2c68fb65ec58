#include "render/product_table.h"

namespace oskel {

ProductTable::ProductTable()
{
    for (unsigned i = 0; i < 256; ++i) {
        for (unsigned j = 0; j < 256; ++j) {
            // i x j / 255 in integers: quotient, then the remainder decides the rounding.
            const unsigned product = i * j;
            unsigned rounded = product / 255;
            const unsigned twiceRemainder = 2 * (product % 255);
            if (twiceRemainder > 255 || (twiceRemainder == 255 && rounded % 2 != 0)) {
                ++rounded;
            }
            m_table[i * 256 + j] = static_cast<std::uint8_t>(rounded);
        }
    }
}

} // namespace oskel
