// What the JSON tests share: the document image as bytes, a saved file's
// bytes, and configurations built at random from a seed.
#pragma once

#include "config/ConfigJson.h"
#include "core/CoreVectors.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <random>

namespace jsontest {

using vectors::DocumentState;
using Json = nlohmann::json;

// The bytes a save of `config` writes.
inline Bytes SavedBytes(ConfigData& config, const TempDir& dir)
{
    const std::string path = dir.File("saved.qst");
    if (!config.Save(path))
        return {};
    return ReadFileBytes(path);
}

// The three blocks of a document, for comparisons that name the bytes.
inline std::string ImageDump(const ConfigData& config)
{
    const DocumentState state(config);
    return "main " + HexDump(state.main.data(), state.main.size()) + "\nip " +
           HexDump(state.ip.data(), state.ip.size()) + "\nnotes " + HexDump(state.notes.data(), state.notes.size());
}

// A byte that is 0 half the time, so that fields meet both zero and
// arbitrary values.
inline uint8_t SparseByte(std::mt19937& random)
{
    return random() % 2 ? uint8_t(random()) : 0;
}

// A document whose blocks hold what a loadable file may: mostly known
// protocols, port types and counts, sometimes any byte at all.
inline void RandomConfiguration(std::mt19937& random, ConfigData& config)
{
    MainBlock main{};
    IpBlock ip{};
    uint8_t notes[kNotesSize] = {};
    auto* bytes = reinterpret_cast<uint8_t*>(&main);
    for (size_t i = 0; i < kMainBlockSize; ++i)
        bytes[i] = SparseByte(random);
    main.nodeCount = random() % 8 ? uint8_t(random() % 7) : uint8_t(random());
    for (NodeEntry& node : main.node) {
        if (random() % 8)
            node.protocol = uint8_t(1 + random() % kProtocolCount);
        if (random() % 8)
            node.SetPortType(uint8_t(1 + random() % kPortTypeCount));
        // Mostly short tables, which keeps thousands of round trips quick;
        // full ones are in the all-bits case.
        if (random() % 8)
            node.slaveCount = uint8_t(random() % 4 ? random() % 11 : random() % (kMaxSlaves + 1));
        if (random() % 4 == 0)
            std::memset(&node, 0, sizeof node);
    }
    auto* ipBytes = reinterpret_cast<uint8_t*>(&ip);
    for (size_t i = 0; i < kIpBlockSize; ++i)
        ipBytes[i] = uint8_t(random());
    if (random() % 4)
        ip.ipCrc = vectors::ReferenceCrc(ipBytes, kIpCrcCoverage);
    const size_t length = random() % 128;
    for (size_t i = 0; i < length; ++i)
        notes[i] = uint8_t(1 + random() % 255);
    if (random() % 4 == 0)
        notes[random() % 127] = uint8_t(random());
    config.SetBlocks(main, ip, notes);
}

} // namespace jsontest
