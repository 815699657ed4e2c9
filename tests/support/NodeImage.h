// A node entry as its 383 bytes, so a test states what it expects by byte
// offset, independently of the named layout.
#pragma once

#include "config/ConfigLayout.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

using NodeImage = std::array<uint8_t, 383>;

inline NodeImage ImageOf(const NodeEntry& node)
{
    NodeImage image;
    std::memcpy(image.data(), &node, image.size());
    return image;
}

inline NodeEntry EntryOf(const NodeImage& image)
{
    NodeEntry node;
    std::memcpy(&node, image.data(), image.size());
    return node;
}

inline NodeImage FilledImage(uint8_t value)
{
    NodeImage image;
    image.fill(value);
    return image;
}

// The bytes where two images differ, empty when they agree.
inline std::string Differences(const NodeImage& actual, const NodeImage& expected)
{
    std::string out;
    for (size_t i = 0; i < actual.size(); ++i)
        if (actual[i] != expected[i]) {
            char piece[48];
            std::snprintf(piece, sizeof piece, "byte %zu is %02X, expected %02X; ", i, actual[i], expected[i]);
            out += piece;
        }
    return out;
}
