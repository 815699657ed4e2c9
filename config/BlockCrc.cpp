#include "config/BlockCrc.h"

#include <array>

namespace {

constexpr std::array<uint16_t, 256> MakeTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned n = 0; n < 256; ++n) {
        uint16_t crc = uint16_t(n);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
        table[n] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kTable = MakeTable();

} // namespace

uint16_t BlockCrc(const void* data, uint16_t length, uint16_t initial)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    uint16_t crc = initial;
    for (uint16_t i = 0; i < length; ++i)
        crc = uint16_t((crc >> 8) ^ kTable[(crc ^ bytes[i]) & 0xFF]);
    return crc;
}
