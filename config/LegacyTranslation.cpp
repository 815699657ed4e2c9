#include "config/ConfigLayout.h"

#include <algorithm>
#include <cstring>

namespace {

// The fields that both node layouts share, copied one by one so neither
// side depends on the other's offsets.
template <typename From, typename To>
void CopyCommonNodeFields(const From& from, To& to)
{
    to.protocol = from.protocol;
    to.protocolWord = from.protocolWord;
    to.portCode = from.portCode;
    std::memcpy(to.remoteIp, from.remoteIp, sizeof to.remoteIp);
    to.portNumber = from.portNumber;
    to.baudCode = from.baudCode;
    to.portWord = from.portWord;
    std::memcpy(to.protocolExtra, from.protocolExtra, sizeof to.protocolExtra);
}

} // namespace

void LegacyToMain(const LegacyBlock& legacy, MainBlock& main)
{
    std::memset(&main, 0, sizeof main);
    main.writeProtect = legacy.header[0];
    main.dataAge = legacy.header[1];
    main.sdLogLevel = legacy.header[2];
    main.sdLogAge = legacy.header[3];
    main.nodeCount = std::min<uint8_t>(legacy.header[4], kMaxNodes);
    std::memcpy(main.reserved, legacy.reserved, sizeof main.reserved);

    for (unsigned i = 0; i < main.nodeCount; ++i) {
        const LegacyNode& from = legacy.node[i];
        NodeEntry& to = main.node[i];
        CopyCommonNodeFields(from, to);
        // The legacy record has room for ten entries and no more: a larger
        // count cannot name entries that exist, so it is taken as ten.
        to.slaveCount = std::min<uint8_t>(from.slaveCount, kMaxLegacySlaves);
        for (unsigned k = 0; k < to.slaveCount; ++k) {
            to.slaveId[k] = from.slaveId[k];
            to.readStart[k] = from.readStart[k];
            to.readLength[k] = from.readLength[k];
            to.writeStart[k] = from.writeStart[k];
            to.writeLength[k] = from.writeLength[k];
        }
    }
}

bool MainToLegacy(const MainBlock& main, LegacyBlock& legacy)
{
    std::memset(&legacy, 0, sizeof legacy);
    legacy.header[0] = main.writeProtect;
    legacy.header[1] = main.dataAge;
    legacy.header[2] = main.sdLogLevel;
    legacy.header[3] = main.sdLogAge;
    legacy.header[4] = main.nodeCount;
    std::memcpy(legacy.reserved, main.reserved, sizeof legacy.reserved);

    bool complete = true;
    if (main.nodeCount > kMaxNodes) {
        legacy.header[4] = kMaxNodes;
        complete = false;
    }

    for (unsigned i = 0; i < legacy.header[4]; ++i) {
        const NodeEntry& from = main.node[i];
        LegacyNode& to = legacy.node[i];
        CopyCommonNodeFields(from, to);
        to.slaveCount = 0;
        for (unsigned k = 0; k < from.slaveCount && k < kMaxSlaves; ++k) {
            const bool fits = to.slaveCount < kMaxLegacySlaves &&
                              from.readStart[k] + from.readLength[k] <= 255 &&
                              from.writeStart[k] + from.writeLength[k] <= 255;
            if (!fits)
                continue;
            const unsigned slot = to.slaveCount++;
            to.slaveId[slot] = from.slaveId[k];
            to.readStart[slot] = uint8_t(from.readStart[k] & 0xFF);
            to.readLength[slot] = from.readLength[k];
            to.writeStart[slot] = uint8_t(from.writeStart[k] & 0xFF);
            to.writeLength[slot] = from.writeLength[k];
        }
        if (to.slaveCount < from.slaveCount)
            complete = false;
    }
    return complete;
}
