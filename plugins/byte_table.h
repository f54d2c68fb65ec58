// Effects whose new byte depends on that byte alone (posterize, brightness and contrast) can
// run as a table of 256 bytes. On processors that permute bytes across a whole 64-byte
// register (AVX-512 VBMI), four instructions look up 64 bytes, faster than any arithmetic on
// them; elsewhere the effect's own row loop runs on the frame. The table is made by running
// that same row loop over the 256 byte values, so both ways give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define OSKEL_BYTE_PERMUTES 1
#define OSKEL_BYTE_PERMUTE_TARGET __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi")))
#endif

namespace oskel_plugins {

struct ByteTable {
    alignas(64) std::uint8_t bytes[256];
};

inline bool byteTablesAreFast()
{
#ifdef OSKEL_BYTE_PERMUTES
    return __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw")
        && __builtin_cpu_supports("avx512vl");
#else
    return false;
#endif
}

// The table of a row loop: loop(bytes, count) run over 0..255.
template <typename RowLoop> ByteTable tableOf(RowLoop&& loop)
{
    ByteTable table;
    for (int i = 0; i < 256; ++i) {
        table.bytes[i] = static_cast<std::uint8_t>(i);
    }
    loop(table.bytes, std::size_t { 256 });
    return table;
}

#ifdef OSKEL_BYTE_PERMUTES
// The four quarters of a table, in registers.
struct TableRegisters {
    __m512i quarter[4];
};

OSKEL_BYTE_PERMUTE_TARGET inline TableRegisters loadTable(const ByteTable& table)
{
    TableRegisters loaded;
    for (int i = 0; i < 4; ++i) {
        loaded.quarter[i] = _mm512_load_si512(table.bytes + i * 64);
    }
    return loaded;
}

// 64 bytes looked up: the low seven bits pick from each half, the top bit picks the half.
OSKEL_BYTE_PERMUTE_TARGET inline __m512i lookUp(__m512i bytes, const TableRegisters& table)
{
    const __m512i low = _mm512_permutex2var_epi8(table.quarter[0], bytes, table.quarter[1]);
    const __m512i high = _mm512_permutex2var_epi8(table.quarter[2], bytes, table.quarter[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(bytes), low, high);
}

OSKEL_BYTE_PERMUTE_TARGET inline void lookUpBytes(
    std::uint8_t* bytes, std::size_t count, const ByteTable& table)
{
    const TableRegisters loaded = loadTable(table);
    std::size_t done = 0;
    for (; done + 64 <= count; done += 64) {
        const __m512i in = _mm512_loadu_si512(bytes + done);
        _mm512_storeu_si512(bytes + done, lookUp(in, loaded));
    }
    for (; done < count; ++done) {
        bytes[done] = table.bytes[bytes[done]];
    }
}
#endif

// The row loop over `count` bytes, through its table where tables are fast.
template <typename RowLoop>
void runByteByByte(std::uint8_t* bytes, std::size_t count, RowLoop&& loop)
{
#ifdef OSKEL_BYTE_PERMUTES
    if (byteTablesAreFast()) {
        lookUpBytes(bytes, count, tableOf(loop));
        return;
    }
#endif
    loop(bytes, count);
}

} // namespace oskel_plugins
