// Configuration file loading: the input is the whole file.
//
// Properties checked for every input:
// - a load that fails leaves the document exactly as it was (blocks, notes,
//   file name, directory, modified flag) and gives a reason;
// - a load that succeeds binds the document to the file, unmodified, and
//   everything the window, the report and qst show of it can be shown
//   (text forms, notes; toolkit assertions abort);
// - notes handed back unchanged leave the notes block as it was;
// - saving the loaded document and loading the saved file gives the same
//   blocks back, in a file of one of the two sizes the format allows.
#include "FuzzSupport.h"

#include "config/ConfigData.h"

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

    FUZZ_CHECK(document.Save(saved), "a loaded document could not be saved");
    const std::string file = ReadWholeFile(saved);
    const size_t expectedSize = loaded.notes[0] != 0 ? 2492 : 2364;
    FUZZ_CHECK(file.size() == expectedSize, "saved " + std::to_string(file.size()) + " bytes");
    ConfigData again;
    FUZZ_CHECK(again.Load(saved, error), "the saved file does not load: " + error.utf8_string());
    const DocumentImage reloaded(again);
    FUZZ_CHECK(reloaded.SameBlocks(loaded), "save and load changed the " + loaded.Difference(reloaded));

    ::unlink(saved.c_str());
    return 0;
}
