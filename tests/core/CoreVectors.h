// Byte vectors written out by hand from the record tables, and a plain
// bit-by-bit CRC-16/ARC to check them with, independent of the code under
// test.
#pragma once

#include "config/ConfigData.h"
#include "support/TestSupport.h"

#include <cstdint>
#include <string>

namespace vectors {

constexpr size_t kMain = 2311;
constexpr size_t kIp = 24;
constexpr size_t kLegacy = 511;
constexpr size_t kNode = 383;
constexpr size_t kLegacyNode = 83;

inline uint16_t ReferenceCrc(const uint8_t* data, size_t size)
{
    uint16_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

inline uint16_t ReferenceCrc(const Bytes& bytes) { return ReferenceCrc(bytes.data(), bytes.size()); }

inline void Put16(Bytes& b, size_t at, uint16_t v)
{
    b[at] = uint8_t(v & 0xFF);
    b[at + 1] = uint8_t(v >> 8);
}

// Main block of a fresh document.
inline Bytes DefaultMainBlock()
{
    Bytes b(kMain, 0);
    b[1] = 60;
    b[2] = 2;
    b[3] = 30;
    b[4] = 2;
    const size_t n0 = 13, n1 = 13 + kNode;
    b[n0 + 0] = 1;
    b[n0 + 1] = 2;
    b[n0 + 4] = 0x10;   // portCode 0x1000
    b[n0 + 9] = 23;     // port 23
    b[n0 + 0] = 1;
    b[n1 + 0] = 1;
    b[n1 + 1] = 2;
    b[n1 + 4] = 0x50;   // portCode 0x5000
    b[n1 + 9] = 1;      // COM2
    b[n1 + 11] = 16;    // 9600 baud
    return b;
}

// IP block after the IP defaults: 192.168.1.1, 255.255.255.0,
// 192.168.1.254, 00:50:C2:F0:A0:00, port 6003 big-endian, reserved FFFF.
inline Bytes DefaultIpBlock()
{
    Bytes b = {192, 168, 1, 1, 255, 255, 255, 0, 192, 168, 1, 254,
               0x00, 0x50, 0xC2, 0xF0, 0xA0, 0x00, 0x17, 0x73, 0xFF, 0xFF, 0, 0};
    Put16(b, 22, ReferenceCrc(b.data(), 22));
    return b;
}

inline void AppendWithCrc(Bytes& out, const Bytes& block)
{
    out.insert(out.end(), block.begin(), block.end());
    const uint16_t crc = ReferenceCrc(block);
    out.push_back(uint8_t(crc & 0xFF));
    out.push_back(uint8_t(crc >> 8));
}

inline Bytes Magic(char version)
{
    const std::string text = std::string("Quorastelline Config v") + version + " ";
    Bytes b(text.begin(), text.end());
    b.push_back(0);
    return b;
}

// Everything a failed load must leave as it was.
struct DocumentState {
    Bytes main, ip, notes;
    bool hasFile;
    wxString fileName, directory;
    bool modified;

    explicit DocumentState(const ConfigData& c)
    {
        const auto* m = reinterpret_cast<const uint8_t*>(&c.GetMainBlock());
        const auto* i = reinterpret_cast<const uint8_t*>(&c.GetIpBlock());
        main.assign(m, m + kMain);
        ip.assign(i, i + kIp);
        notes.assign(c.GetNotesBlock(), c.GetNotesBlock() + 128);
        hasFile = c.GetFileName(fileName);
        directory = c.GetDirectory();
        modified = c.IsModified();
    }
    bool operator==(const DocumentState& o) const
    {
        return main == o.main && ip == o.ip && notes == o.notes && hasFile == o.hasFile &&
               fileName == o.fileName && directory == o.directory && modified == o.modified;
    }
};

} // namespace vectors
