// What the fuzz targets share: the toolkit started once with its assertions
// made fatal, a scratch folder for the files they write, and checks that
// stop the run with a message when a property of the code does not hold.
#pragma once

#include "config/ConfigLayout.h"

#include <wx/string.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class ConfigData;

// Starts the toolkit (sockets included) and turns its assertions into
// aborts, so that libFuzzer records them as crashes with their input.
void FuzzInitialize();

// A folder of this process under $TMPDIR (or /tmp), made on first use.
const std::string& FuzzScratchDir();

void WriteWholeFile(const std::string& path, const uint8_t* data, size_t size);
std::string ReadWholeFile(const std::string& path);

[[noreturn]] void FuzzFail(const char* file, int line, const std::string& what);
#define FUZZ_CHECK(condition, what)                                                                     \
    do {                                                                                                \
        if (!(condition))                                                                               \
            FuzzFail(__FILE__, __LINE__, std::string("check failed: " #condition ": ") + (what));      \
    } while (false)

// Everything of a document that an operation may or may not change.
struct DocumentImage {
    std::array<uint8_t, kMainBlockSize> main{};
    std::array<uint8_t, kIpBlockSize> ip{};
    std::array<uint8_t, kNotesSize> notes{};
    bool hasFile = false;
    wxString fileName, directory;
    bool modified = false;

    explicit DocumentImage(const ConfigData& document);
    bool SameBlocks(const DocumentImage& other) const;
    bool operator==(const DocumentImage& other) const;
    // The first difference, for the failure message.
    std::string Difference(const DocumentImage& other) const;
};
