// JSON import: the input is the text of a JSON document.
//
// Properties checked for every input:
// - an import that fails leaves the document exactly as it was and gives a
//   reason;
// - an import that succeeds gives a document whose export imports to the
//   same blocks and exports to the same text again.
#include "FuzzSupport.h"

#include "config/ConfigData.h"
#include "config/ConfigJson.h"

#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzInitialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    ConfigData document;
    document.AddNode();
    const DocumentImage before(document);
    wxString error;
    if (!ImportJson(text, document, error)) {
        const DocumentImage after(document);
        FUZZ_CHECK(after == before, "a failed import changed the " + before.Difference(after));
        FUZZ_CHECK(!error.empty(), "a failed import gave no reason");
        return 0;
    }
    const DocumentImage imported(document);
    const std::string exported = ExportJson(document);
    ConfigData again;
    FUZZ_CHECK(ImportJson(exported, again, error), "the export of an import does not import: " + error.utf8_string());
    const DocumentImage reimported(again);
    FUZZ_CHECK(reimported.SameBlocks(imported), "export and import changed the " + imported.Difference(reimported));
    FUZZ_CHECK(ExportJson(again) == exported, "the export changed on a second round");
    return 0;
}
