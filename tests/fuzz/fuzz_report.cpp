// The configuration report, and the translation to the older 511-byte
// layout, over arbitrary node bytes.
//
// The input is the document's image: 2311 main-block bytes (header and six
// node entries), 24 IP-block bytes and up to 127 notes bytes, in that order;
// what the input does not reach is 0. The image goes into a format-2 file
// with correct checksums, so it must load; the report is then built from
// the loaded document, as qst report and the printout do.
//
// Properties checked: the file loads; the report builds without a toolkit
// assertion or a sanitizer finding; it has the title, one "Node N:" heading
// per node in use, at most one memory-map row per shared-memory byte, the
// notes line for line, and no line with a NUL or a line break in it. The
// translation to the 1.0 layout and back (as a 1.0 write and read do) gives
// at most six nodes of at most ten slave entries, and when it reports that
// nothing was lost it gives the same main block back, less what lies past
// the node count and past each node's slave count.
#include "FuzzSupport.h"

#include "config/BlockCrc.h"
#include "config/ConfigData.h"
#include "print/ConfigReport.h"

#include <wx/datetime.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr char kMagicV2[25] = "Quorastelline Config v2 ";

void AppendWithCrc(std::vector<uint8_t>& out, const uint8_t* block, size_t size)
{
    out.insert(out.end(), block, block + size);
    const uint16_t crc = BlockCrc(block, uint16_t(size));
    out.push_back(uint8_t(crc & 0xFF));
    out.push_back(uint8_t(crc >> 8));
}

// The notes as the report splits them: CR LF, LF and CR each end a line,
// and a last line without an ending is a line too.
std::vector<wxString> NotesLines(const wxString& notes)
{
    std::vector<wxString> lines;
    wxString line;
    for (size_t i = 0; i < notes.length(); ++i) {
        if (notes[i] == '\r' || notes[i] == '\n') {
            lines.push_back("  " + line);
            line.clear();
            if (notes[i] == '\r' && i + 1 < notes.length() && notes[i + 1] == '\n')
                ++i;
        } else {
            line += notes[i];
        }
    }
    if (!line.empty())
        lines.push_back("  " + line);
    if (notes.empty())
        lines.push_back("  (none)");
    return lines;
}

// The main block as far as the 1.0 layout carries it.
MainBlock CarriedPart(const MainBlock& main)
{
    MainBlock carried{};
    std::memcpy(&carried, &main, kMainHeaderSize);
    for (unsigned i = 0; i < main.nodeCount && i < kMaxNodes; ++i) {
        const NodeEntry& from = main.node[i];
        NodeEntry& to = carried.node[i];
        to = from;
        for (unsigned k = from.slaveCount; k < kMaxSlaves; ++k) {
            to.slaveId[k] = to.readLength[k] = to.writeLength[k] = 0;
            to.readStart[k] = to.writeStart[k] = 0;
        }
    }
    return carried;
}

void CheckLegacyTranslation(const MainBlock& main)
{
    LegacyBlock legacy;
    MainBlock back;
    const bool complete = MainToLegacy(main, legacy);
    LegacyToMain(legacy, back);
    FUZZ_CHECK(back.nodeCount <= kMaxNodes, std::to_string(back.nodeCount) + " nodes after the 1.0 layout");
    for (unsigned i = 0; i < kMaxNodes; ++i)
        FUZZ_CHECK(back.node[i].slaveCount <= kMaxLegacySlaves,
                   std::to_string(back.node[i].slaveCount) + " slave entries after the 1.0 layout");
    if (!complete)
        return;
    const MainBlock expected = CarriedPart(main);
    const auto* a = reinterpret_cast<const uint8_t*>(&expected);
    const auto* b = reinterpret_cast<const uint8_t*>(&back);
    for (size_t i = 0; i < kMainBlockSize; ++i)
        FUZZ_CHECK(a[i] == b[i], "a translation without loss changed main block byte " + std::to_string(i));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzInitialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t image[kMainBlockSize + kIpBlockSize + kNotesSize] = {};
    std::memcpy(image, data, std::min(size, sizeof image - 1));
    const uint8_t* main = image;
    const uint8_t* ip = image + kMainBlockSize;
    const uint8_t* notes = ip + kIpBlockSize;

    std::vector<uint8_t> file(kMagicV2, kMagicV2 + sizeof kMagicV2);
    AppendWithCrc(file, main, kMainBlockSize);
    AppendWithCrc(file, ip, kIpBlockSize);
    file.insert(file.end(), notes, notes + kNotesSize);
    static const std::string path = FuzzScratchDir() + "/report.qst";
    WriteWholeFile(path, file.data(), file.size());

    ConfigData document;
    wxString error;
    FUZZ_CHECK(document.Load(path, error), "a file with correct checksums did not load: " + error.utf8_string());

    const ReportLines lines = BuildConfigReport(document, wxDateTime(7, wxDateTime::Dec, 2026, 9, 5, 3));
    FUZZ_CHECK(!lines.empty() && lines[0].text == "TARVEN Quorastelline - Configuration Report" && lines[0].bold,
               "the report does not begin with its title");

    CheckLegacyTranslation(document.GetMainBlock());

    const unsigned nodes = std::min<unsigned>(main[4], kMaxNodes);
    unsigned headings = 0;
    unsigned mapRows = 0;
    bool inMap = false;
    size_t notesAt = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const wxString& text = lines[i].text;
        FUZZ_CHECK(text.find(wxUniChar(0)) == wxString::npos && text.find_first_of("\r\n") == wxString::npos,
                   "report line " + std::to_string(i) + " holds a NUL or a line break");
        const auto digitAt = [&](const wxString& lead) {
            return text.StartsWith(lead) && text.length() > lead.length() && text[lead.length()] >= '1' &&
                   text[lead.length()] <= '9';
        };
        if (lines[i].bold && digitAt("Node "))
            ++headings;
        if (lines[i].bold && text == "Notes")
            notesAt = i + 2;
        if (lines[i].bold && text == "Memory Map")
            inMap = true;
        else if (inMap && digitAt("  Byte "))
            ++mapRows;
    }
    FUZZ_CHECK(headings == nodes, std::to_string(headings) + " node headings for " + std::to_string(nodes) + " nodes");
    FUZZ_CHECK(mapRows <= kSharedMemorySize, std::to_string(mapRows) + " memory map rows");

    const std::vector<wxString> expected = NotesLines(document.GetNotes());
    FUZZ_CHECK(notesAt > 0 && notesAt + expected.size() <= lines.size(), "the notes section is missing");
    for (size_t k = 0; k < expected.size(); ++k)
        FUZZ_CHECK(lines[notesAt + k].text == expected[k], "notes line " + std::to_string(k) + " differs");
    return 0;
}
