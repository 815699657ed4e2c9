// Configuration file loading: the input is the whole file.
//
// Properties checked for every input:
// - a load that fails leaves the document exactly as it was (blocks, notes,
//   file name, directory, modified flag) and gives a reason;
// - a load that succeeds binds the document to the file, unmodified, and
//   everything the window, the report and qst show of it can be shown
//   (text forms, notes; toolkit assertions abort);
// - notes handed back unchanged leave the notes block as it was; edited
//   notes keep the bytes of the characters the edit did not touch (one
//   character deleted: exactly the other bytes; text appended: the old
//   bytes, then the new text with "_" for what is not ASCII; any edit:
//   ASCII as typed, other characters as "_" or as the byte they were);
// - saving the loaded document and loading the saved file gives the same
//   blocks back, in a file of one of the two sizes the format allows;
// - its JSON export imports to the same blocks.
#include "FuzzSupport.h"

#include "config/ConfigData.h"
#include "config/ConfigJson.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace {

constexpr char kMagicV1[] = "Quorastelline Config v1 ";

// A document unlike any file's, bound to no file and modified, so that a
// failed load that touched anything shows.
void MakeDistinct(ConfigData& document)
{
    document.AddNode();
    document.SetDataAge(77);
    document.SetIpSettings("10.1.2.3", "255.255.0.0", "10.1.0.1", "02:04:06:08:0A:0C", "6010");
    document.SetNotes("notes before the load");
}

void ShowEverything(const ConfigData& document)
{
    for (unsigned i = 0; i <= kMaxNodes; ++i) {
        document.GetProtocolName(i);
        document.GetPortText(i);
        document.GetSlaveIdsText(i);
        document.GetReadRangesText(i);
        document.GetWriteRangesText(i);
    }
    IpTexts texts;
    document.GetIpTexts(texts);
    document.ReportCrc();
}

std::string Bytes(const uint8_t* block)
{
    return std::string(reinterpret_cast<const char*>(block), strnlen(reinterpret_cast<const char*>(block), kNotesSize));
}

std::string NotesAfter(ConfigData& document, const wxString& text)
{
    document.SetNotes(text);
    const uint8_t* block = document.GetNotesBlock();
    for (size_t i = Bytes(block).size(); i < kNotesSize; ++i)
        FUZZ_CHECK(block[i] == 0, "edited notes left byte " + std::to_string(i) + " behind their end");
    return Bytes(block);
}

// Each edit starts from the loaded file again: notes bytes outside ASCII
// can only come from a file.
void CheckNotesEdits(const std::string& path, const uint8_t* data, size_t size)
{
    ConfigData document;
    wxString error;
    const auto reload = [&] { FUZZ_CHECK(document.Load(path, error), "the file no longer loads"); };
    reload();
    const std::string old = Bytes(document.GetNotesBlock());
    const wxString text = document.GetNotes();
    if (old.empty())
        return;
    const uint8_t pick = size > 0 ? data[size - 1] : 0;

    const size_t gone = pick % old.size();
    std::string expected = old;
    expected.erase(gone, 1);
    wxString edited = text;
    edited.erase(gone, 1);
    FUZZ_CHECK(NotesAfter(document, edited) == expected, "deleting one character changed other bytes");

    reload();
    expected = (old + "x__").substr(0, kNotesSize - 1);
    FUZZ_CHECK(NotesAfter(document, text + "x" + wxUniChar(0xE9) + wxUniChar(0x20AC)) == expected,
               "appending changed the notes before it");

    // Any edit: a range replaced by characters taken from the input.
    reload();
    const size_t from = std::min<size_t>(pick % 7, text.length());
    const size_t to = std::min<size_t>(from + pick % 5, text.length());
    wxString typed;
    for (size_t i = 0; i < size && i < 6; ++i)
        typed += wxUniChar(unsigned(data[i]) * (i % 3 == 2 ? 37u : 1u) + (i % 2));
    edited = text.substr(0, from) + typed + text.substr(to);
    const std::string result = NotesAfter(document, edited);
    size_t next = 0;  // kept characters appear in the old notes in order
    for (size_t j = 0; j < result.size() && j < edited.length(); ++j) {
        const unsigned c = unsigned(edited[j].GetValue());
        const uint8_t b = uint8_t(result[j]);
        if (c == 0)
            break;
        if (c < 0x80) {
            FUZZ_CHECK(b == c, "an ASCII character was not stored as typed");
        } else if (b != '_') {
            FUZZ_CHECK(b == c, "a character was stored as another byte");
            next = old.find(char(b), next);
            FUZZ_CHECK(next != std::string::npos, "a character not in the notes kept a byte");
            ++next;
        }
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
    static const std::string input = FuzzScratchDir() + "/input.qst";
    static const std::string saved = FuzzScratchDir() + "/saved.qst";
    WriteWholeFile(input, data, size);

    ConfigData document;
    MakeDistinct(document);
    const DocumentImage before(document);
    wxString error;
    if (!document.Load(input, error)) {
        const DocumentImage after(document);
        FUZZ_CHECK(after == before, "a failed load changed the " + before.Difference(after));
        FUZZ_CHECK(!error.empty(), "a failed load gave no reason");
        return 0;
    }

    wxString fileName;
    FUZZ_CHECK(document.GetFileName(fileName) && fileName == input, "the loaded document is not bound to its file");
    FUZZ_CHECK(!document.IsModified(), "a loaded document is marked modified");
    const bool formatOne = size >= sizeof kMagicV1 && std::memcmp(data, kMagicV1, sizeof kMagicV1) == 0;
    if (formatOne)
        FUZZ_CHECK(DocumentImage(document).notes == before.notes, "a format-1 file changed the notes");

    ShowEverything(document);
    const DocumentImage loaded(document);
    document.SetNotes(document.GetNotes());
    const DocumentImage notesHandedBack(document);
    FUZZ_CHECK(notesHandedBack == loaded, "unchanged notes changed the " + loaded.Difference(notesHandedBack));
    CheckNotesEdits(input, data, size);

    FUZZ_CHECK(document.Save(saved), "a loaded document could not be saved");
    const std::string file = ReadWholeFile(saved);
    const size_t expectedSize = loaded.notes[0] != 0 ? 2492 : 2364;
    FUZZ_CHECK(file.size() == expectedSize, "saved " + std::to_string(file.size()) + " bytes");
    ConfigData again;
    FUZZ_CHECK(again.Load(saved, error), "the saved file does not load: " + error.utf8_string());
    const DocumentImage reloaded(again);
    FUZZ_CHECK(reloaded.SameBlocks(loaded), "save and load changed the " + loaded.Difference(reloaded));

    ConfigData imported;
    FUZZ_CHECK(ImportJson(ExportJson(again), imported, error),
               "the JSON export does not import: " + error.utf8_string());
    const DocumentImage fromJson(imported);
    FUZZ_CHECK(fromJson.SameBlocks(reloaded), "export and import changed the " + reloaded.Difference(fromJson));

    ::unlink(saved.c_str());
    return 0;
}
