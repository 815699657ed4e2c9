// The firmware side of the device command protocol, as a stand-in for a
// real device in tests and trials. It works on unescaped frames and
// produces the bytes to put on the wire; the program around it does the I/O.
#pragma once

#include "config/ConfigLayout.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// What goes wrong at one step, on request.
struct StepFault {
    bool silent = false;
    bool unknown = false;
    bool drop = false;
    bool shortReply = false;
    std::string errorText;     // non-empty: answer "Error: " + this
    unsigned delayMs = 0;
    unsigned garbageLines = 0;
};

struct SimulatorSettings {
    // 1.0 devices do not know "ver"; any other value is reported as it is.
    unsigned versionMajor = 1;
    unsigned versionMinor = 1;
    std::string identity = "Quorastelline simulated device QST-DEVSIM";
    std::map<std::string, StepFault> faults;  // by step name, "any" for all
    unsigned splitChunks = 1;
    bool badChecksum = false;       // the 1.0 read reply's frame checksum
    bool badIpChecksum = false;     // the IP block's own checksum in reads
    bool writeProtect = false;      // refuse writes while the held image says so
    bool corruptStore = false;      // store node 1's first slave ID with its lowest bit flipped
    std::string saveFile;           // .qst file written after each complete write
    // Over TCP, empty lines after "Unknown command" until the utility sends
    // again, so that it need not wait for silence (main.cpp does the I/O).
    bool quickUnknown = false;

    bool Legacy() const { return versionMajor == 1 && versionMinor == 0; }
};

// One connection's progress through a piece-by-piece write.
struct Session {
    bool writing = false;
    MainBlock main{};
    IpBlock ip{};
};

// What to do about one received frame.
struct Response {
    bool drop = false;      // close the connection without a reply
    unsigned delayMs = 0;
    Bytes wire;             // escaped, terminated reply; empty for silence
    bool unknown = false;   // the reply is "Unknown command"
};

class DeviceSimulator
{
public:
    DeviceSimulator(const SimulatorSettings& settings, const MainBlock& main, const IpBlock& ip);

    Response Handle(Session& session, const Bytes& frame);
    // The step name a frame belongs to ("id", "get-3", "set" ...), or "".
    static std::string StepOf(const Bytes& frame);
    static bool IsStepName(const std::string& name);

private:
    // The reply line's text and binary payload, before faults and escaping;
    // an empty reply means silence.
    Bytes Answer(Session& session, const std::string& step, const Bytes& frame);
    Bytes AnswerSegmented(Session& session, const std::string& step, const Bytes& frame);
    Bytes AnswerLegacy(const std::string& step, const Bytes& frame);
    void Commit(const MainBlock& main, const IpBlock& ip);
    IpBlock IpForReading() const;
    const StepFault* FaultFor(const std::string& step) const;

    SimulatorSettings m_settings;
    MainBlock m_main;
    IpBlock m_ip;
};

// Text, then data, then the checksum of both, high byte first.
Bytes WithChecksum(Bytes frame);
// DLE before every CR, LF and DLE, then CR LF.
Bytes EscapeLine(const Bytes& line);
