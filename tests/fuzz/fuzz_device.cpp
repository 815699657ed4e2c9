// Device replies: arbitrary byte streams served to Get ID, the protocol
// version query, both configuration transfers (1.1 in pieces, 1.0 whole),
// Set clock and Reboot, from a peer on a loopback TCP port or on a
// pseudo-terminal, and the subnet scan's reading of an answer.
//
// Input layout. Byte 0 chooses the session:
//   bits 0-2  0 Get ID, 1 and 6 read the configuration, 2 and 7 write it,
//             3 set the clock, 4 reboot, 5 the scan's reading of the rest
//             of the input as one answer (no link);
//   bit 3     serial (the pseudo-terminal) instead of TCP;
//   bit 4     the answer to the question before a write that loses data;
//   bit 5     the document to write has six nodes of 50 slave entries,
//             more than the 1.0 layout holds.
// The rest is the device's answers, one record per command frame the peer
// receives, resends included, in order. A backslash is an escape:
//   "\\"  a backslash in the answer;
//   "\,"  a chunk boundary: the next part is sent once the link has read
//         all of the part before it;
//   "\."  ends the record and hangs up after it (TCP closes; serial falls
//         silent);
//   "\" followed by any other byte ends the record.
// An empty record is silence for that frame (the link's wait runs out and
// it sends the frame again). After the last record the peer hangs up.
//
// Properties checked: no crash, toolkit assertion, sanitizer finding or
// SIGPIPE; at most 32 frames per session (2 for the version query and 3 for
// each of 10 transfer steps), each a well-formed command with a correct
// checksum; a failed read leaves the document exactly as it was, a
// successful one marks it modified and keeps its notes; a write, Get ID,
// Set clock and Reboot never change the document; every failure but the
// user's "no" gives a reason; Get ID succeeds only with an identity that
// names the product; the question is asked only of a document that loses
// data. Time is bounded by libFuzzer's -timeout: the link's waits are
// shortened to QST_FUZZ_POLL_MS milliseconds (default 1). QST_FUZZ_VERBOSE=1
// prints each session's outcome, frames and time.
#include "FuzzDevicePeer.h"
#include "FuzzSupport.h"

#include "config/ConfigData.h"
#include "device/DeviceText.h"
#include "discovery/DeviceScan.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

enum Operation { kGetId, kRead, kWrite, kClock, kReboot, kScanReply, kRead2, kWrite2 };
constexpr int kMaxFrames = 2 + 3 * 10;

std::vector<PeerRecord> ParseRecords(const uint8_t* p, size_t n)
{
    std::vector<PeerRecord> records;
    PeerRecord record;
    std::string chunk;
    const auto endRecord = [&](bool hangUp) {
        record.chunks.push_back(chunk);
        record.hangUp = hangUp;
        records.push_back(record);
        record = PeerRecord();
        chunk.clear();
    };
    for (size_t i = 0; i < n; ++i) {
        if (p[i] != '\\') {
            chunk.push_back(char(p[i]));
            continue;
        }
        if (++i == n)
            break;
        switch (p[i]) {
        case '\\':
            chunk.push_back('\\');
            break;
        case ',':
            record.chunks.push_back(chunk);
            chunk.clear();
            break;
        case '.':
            endRecord(true);
            break;
        default:
            endRecord(false);
            break;
        }
    }
    if (!chunk.empty() || !record.chunks.empty())
        endRecord(false);
    return records;
}

LinkTiming FastTiming()
{
    const char* text = std::getenv("QST_FUZZ_POLL_MS");
    const int poll = text && std::atoi(text) > 0 ? std::atoi(text) : 1;
    LinkTiming timing;
    timing.tcpPollMs = poll;
    timing.serialPollMs = poll;
    timing.afterConnectMs = 0;
    timing.reconnectPauseMs = 0;
    timing.afterSendMs = 0;
    timing.serialSettleMs = 0;
    return timing;
}

// Six nodes of fifty slave entries each: the 1.0 layout holds ten.
void FillDocument(ConfigData& document)
{
    while (document.AddNode()) {
    }
    for (unsigned i = 0; i < kMaxNodes; ++i) {
        NodeEntry& node = *document.GetNode(i);
        node.slaveCount = kMaxSlaves;
        for (unsigned k = 0; k < kMaxSlaves; ++k) {
            node.slaveId[k] = uint8_t(k + 1);
            node.readStart[k] = uint16_t(k * 5);
            node.readLength[k] = 5;
            node.writeStart[k] = uint16_t(256 + k * 5);
            node.writeLength[k] = 5;
        }
    }
}

// A document with notes (and, for `lossy`, more than the 1.0 layout holds)
// saved in the scratch folder; returns its path.
std::string SavedDocument(bool lossy)
{
    ConfigData document;
    if (lossy)
        FillDocument(document);
    document.SetNotes("notes stay with the document");
    const std::string path = FuzzScratchDir() + (lossy ? "/lossy.qst" : "/plain.qst");
    FUZZ_CHECK(document.Save(path), "could not save " + path);
    return path;
}

void CheckScanReply(const uint8_t* data, size_t size)
{
    wxString identity;
    const bool listed = ScanReplyIdentity(data, size, identity);
    const size_t nameLength = std::strlen("Quorastelline");
    FUZZ_CHECK(listed == (size >= nameLength && std::memcmp(data, "Quorastelline", nameLength) == 0),
               "the scan listed an answer that does not name the product, or missed one that does");
    if (listed) {
        FUZZ_CHECK(identity.StartsWith("Quorastelline"), "a listed identity lost the product name");
        FUZZ_CHECK(identity.find('\r') == wxString::npos, "a listed identity runs past its line");
        FUZZ_CHECK(identity.length() <= kScanReplyLimit, "a listed identity is longer than the answer read");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzInitialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t mode = data[0];
    const Operation operation = Operation(mode & 0x07);
    const bool tcp = (mode & 0x08) == 0;
    const bool answerYes = (mode & 0x10) != 0;
    const bool lossyDocument = (mode & 0x20) != 0;

    if (operation == kScanReply) {
        CheckScanReply(data + 1, size - 1);
        return 0;
    }

    // One peer for the whole run; it outlives every session.
    static DevicePeer& peer = *new DevicePeer;
    static const LinkTiming timing = FastTiming();

    // Each session starts from a saved document, so it begins unmodified.
    static const std::string plainFile = SavedDocument(false);
    static const std::string lossyFile = SavedDocument(true);
    ConfigData document;
    document.SetLinkTiming(timing);
    wxString loadError;
    FUZZ_CHECK(document.Load(lossyDocument ? lossyFile : plainFile, loadError), loadError.utf8_string());
    const DocumentImage before(document);

    const wxString target = tcp ? wxString("127.0.0.1") : wxString(peer.SerialPath());
    const int portOrSpeed = tcp ? peer.Port() : 9600;
    wxString error, identity;
    bool ok = false;
    bool asked = false;
    const auto confirm = [&] {
        asked = true;
        return answerYes;
    };

    const auto start = std::chrono::steady_clock::now();
    peer.Begin(tcp, ParseRecords(data + 1, size - 1));
    switch (operation) {
    case kGetId:
        ok = document.GetDeviceId(tcp, target, portOrSpeed, identity, error);
        break;
    case kRead:
    case kRead2:
        ok = document.ReadFromDevice(tcp, target, portOrSpeed, error);
        break;
    case kWrite:
    case kWrite2:
        ok = document.WriteToDevice(tcp, target, portOrSpeed, error, confirm);
        break;
    case kClock: {
        std::tm when{};
        when.tm_year = 2026 - 1900;
        when.tm_mon = 11;
        when.tm_mday = 7;
        when.tm_hour = 9;
        when.tm_min = 5;
        when.tm_sec = 3;
        ok = document.SetDeviceClock(tcp, target, portOrSpeed, when, error);
        break;
    }
    case kReboot:
        ok = document.RebootDevice(tcp, target, portOrSpeed, error);
        break;
    case kScanReply:
        break;
    }
    const PeerReport report = peer.End();
    static const bool verbose = std::getenv("QST_FUZZ_VERBOSE") != nullptr;
    if (verbose)
        std::fprintf(stderr, "operation %d over %s: %s%s, %d frames in %.1f ms%s%s\n", int(operation),
                     tcp ? "TCP" : "serial", ok ? "succeeded" : "failed", asked ? " (asked)" : "", report.frames,
                     std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
                     error.empty() ? "" : ", error: ", error.utf8_string().c_str());

    FUZZ_CHECK(report.frames <= kMaxFrames, std::to_string(report.frames) + " frames in one session");
    FUZZ_CHECK(report.badFrame.empty(), "the link sent a frame that is not a command: " + report.badFrame);

    const DocumentImage after(document);
    const bool read = operation == kRead || operation == kRead2;
    if (read && ok) {
        FUZZ_CHECK(after.modified, "a read did not mark the document modified");
        FUZZ_CHECK(after.notes == before.notes, "a read changed the notes");
    } else {
        FUZZ_CHECK(after == before, "the operation changed the document's " + before.Difference(after));
    }

    const bool declined = asked && !answerYes;
    if (!ok && !declined)
        FUZZ_CHECK(!error.empty(), "a failure without a reason");
    if (ok)
        FUZZ_CHECK(error.empty(), "a success with an error text: " + error.utf8_string());
    if (declined)
        FUZZ_CHECK(!ok && error.empty(), "a declined write went on, or gave an error");
    FUZZ_CHECK(!asked || lossyDocument, "the question was asked of a document that loses nothing");
    if (operation == kGetId && ok)
        FUZZ_CHECK(identity.StartsWith("Quorastelline"), "an identity without the product name");
    return 0;
}
