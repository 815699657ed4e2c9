// Byte layouts of the configuration image. Every other file reaches the
// image's bytes through these names, never through raw offsets.
#pragma once

#include <cstddef>
#include <cstdint>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the image's 16-bit fields are little-endian and read in place");

constexpr unsigned kMaxNodes = 6;
constexpr unsigned kMaxSlaves = 50;
constexpr unsigned kMaxLegacySlaves = 10;
constexpr unsigned kSharedMemorySize = 512;

enum ProtocolCode : uint8_t {
    PROTOCOL_CONTROL = 1,
    PROTOCOL_IO_MASTER = 2,
    PROTOCOL_UCE_MASTER = 3,
    PROTOCOL_UCE_SLAVE = 4,
    PROTOCOL_S2_MASTER = 5,
    PROTOCOL_S2_SLAVE = 6,
    PROTOCOL_GENISYS_MASTER = 7,
    PROTOCOL_GENISYS_SLAVE = 8,
    PROTOCOL_HOST_MASTER = 9,
    PROTOCOL_HOST_SLAVE = 10,
    PROTOCOL_NTP_CLIENT = 11,
    PROTOCOL_ANALOGUE_MASTER = 12,
    PROTOCOL_NULL = 13,
};

// Protocol codes run from 1 to this count.
constexpr unsigned kProtocolCount = PROTOCOL_NULL;

enum PortType : uint8_t {
    PORT_TCP_SERVER = 1,
    PORT_TCP_CLIENT = 2,
    PORT_UDP_SERVER = 3,
    PORT_UDP_CLIENT = 4,
    PORT_ASYNC_SERIAL = 5,
    PORT_SYNC_SERIAL = 6,
    PORT_MODEM = 7,
    PORT_SPI = 8,
};

// Port types run from 1 to this count.
constexpr unsigned kPortTypeCount = PORT_SPI;

// The port type is kept in bits 12..15 of a node's `portCode`.
constexpr unsigned kPortTypeFirstBit = 12;
constexpr unsigned kPortTypeBits = 4;
constexpr uint16_t kPortTypeMask = uint16_t(((1u << kPortTypeBits) - 1) << kPortTypeFirstBit);
constexpr uint8_t PortTypeOf(uint16_t portCode) { return uint8_t((portCode & kPortTypeMask) >> kPortTypeFirstBit); }
constexpr uint16_t WithPortType(uint16_t portCode, uint8_t type)
{
    return uint16_t((portCode & ~kPortTypeMask) | ((unsigned(type) << kPortTypeFirstBit) & kPortTypeMask));
}

constexpr uint16_t kControlLinkPort = 23;

#pragma pack(push, 1)

// One node: protocol, port and slave table (383 bytes).
struct NodeEntry {
    uint8_t protocol;
    uint16_t protocolWord;
    uint16_t portCode;          // bits 12..15 port type, 0..11 port parameters
    uint8_t remoteIp[4];
    uint16_t portNumber;
    uint8_t baudCode;
    uint16_t portWord;
    uint8_t slaveCount;
    uint8_t slaveId[kMaxSlaves];
    uint16_t readStart[kMaxSlaves];
    uint8_t readLength[kMaxSlaves];
    uint16_t writeStart[kMaxSlaves];
    uint8_t writeLength[kMaxSlaves];
    uint8_t protocolExtra[18];

    uint8_t PortType() const { return PortTypeOf(portCode); }
    void SetPortType(uint8_t type) { portCode = WithPortType(portCode, type); }

    bool IsControlLink() const
    {
        return protocol == PROTOCOL_CONTROL && PortType() == PORT_TCP_SERVER && portNumber == kControlLinkPort;
    }
};

struct MainBlock {
    uint8_t writeProtect;
    uint8_t dataAge;
    uint8_t sdLogLevel;
    uint8_t sdLogAge;
    uint8_t nodeCount;
    uint8_t reserved[8];
    NodeEntry node[kMaxNodes];
};

// Bytes of the main block that precede the node entries.
constexpr size_t kMainHeaderSize = 13;

struct IpBlock {
    uint8_t ipAddress[4];
    uint8_t subnetMask[4];
    uint8_t gateway[4];
    uint8_t macAddress[6];
    uint8_t bootLoaderPort[2];  // big-endian
    uint16_t ipReserved;
    uint16_t ipCrc;             // over bytes 0..21

    uint16_t BootLoaderPort() const { return uint16_t((bootLoaderPort[0] << 8) | bootLoaderPort[1]); }
    void SetBootLoaderPort(uint16_t port)
    {
        bootLoaderPort[0] = uint8_t(port >> 8);
        bootLoaderPort[1] = uint8_t(port & 0xFF);
    }
};

// Bytes of the IP block covered by its own checksum.
constexpr size_t kIpCrcCoverage = 22;

struct LegacyNode {
    uint8_t protocol;
    uint16_t protocolWord;
    uint16_t portCode;
    uint8_t remoteIp[4];
    uint16_t portNumber;
    uint8_t baudCode;
    uint16_t portWord;
    uint8_t slaveCount;
    uint8_t slaveId[kMaxLegacySlaves];
    uint8_t readStart[kMaxLegacySlaves];
    uint8_t readLength[kMaxLegacySlaves];
    uint8_t writeStart[kMaxLegacySlaves];
    uint8_t writeLength[kMaxLegacySlaves];
    uint8_t protocolExtra[18];
};

struct LegacyBlock {
    uint8_t header[5];          // writeProtect .. nodeCount
    LegacyNode node[kMaxNodes];
    uint8_t reserved[8];
};

#pragma pack(pop)

constexpr size_t kNodeEntrySize = 383;
constexpr size_t kMainBlockSize = 2311;
constexpr size_t kIpBlockSize = 24;
constexpr size_t kNotesSize = 128;
constexpr size_t kLegacyNodeSize = 83;
constexpr size_t kLegacyBlockSize = 511;

static_assert(sizeof(NodeEntry) == kNodeEntrySize, "node entry layout");
static_assert(offsetof(NodeEntry, portCode) == 3 && offsetof(NodeEntry, remoteIp) == 5 &&
              offsetof(NodeEntry, portNumber) == 9 && offsetof(NodeEntry, baudCode) == 11 &&
              offsetof(NodeEntry, portWord) == 12 && offsetof(NodeEntry, slaveCount) == 14 &&
              offsetof(NodeEntry, slaveId) == 15 && offsetof(NodeEntry, readStart) == 65 &&
              offsetof(NodeEntry, readLength) == 165 && offsetof(NodeEntry, writeStart) == 215 &&
              offsetof(NodeEntry, writeLength) == 315 && offsetof(NodeEntry, protocolExtra) == 365,
              "node entry offsets");
static_assert(sizeof(MainBlock) == kMainBlockSize && offsetof(MainBlock, node) == kMainHeaderSize, "main block layout");
static_assert(sizeof(IpBlock) == kIpBlockSize && offsetof(IpBlock, bootLoaderPort) == 18 &&
              offsetof(IpBlock, ipReserved) == 20 && offsetof(IpBlock, ipCrc) == kIpCrcCoverage,
              "IP block layout");
static_assert(sizeof(LegacyNode) == kLegacyNodeSize && offsetof(LegacyNode, slaveId) == 15 &&
              offsetof(LegacyNode, readStart) == 25 && offsetof(LegacyNode, writeLength) == 55 &&
              offsetof(LegacyNode, protocolExtra) == 65,
              "legacy node layout");
static_assert(sizeof(LegacyBlock) == kLegacyBlockSize && offsetof(LegacyBlock, reserved) == 503, "legacy block layout");

// Translations between the main block and the older 511-byte layout.
void LegacyToMain(const LegacyBlock& legacy, MainBlock& main);
// Returns false when anything of the main block could not be carried over.
bool MainToLegacy(const MainBlock& main, LegacyBlock& legacy);
