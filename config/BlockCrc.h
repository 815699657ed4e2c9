// CRC-16/ARC, the checksum of every block of the configuration image.
#pragma once

#include <cstdint>

uint16_t BlockCrc(const void* data, uint16_t length, uint16_t initial = 0);
