// Helpers shared by the test programs.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

inline std::ostream& operator<<(std::ostream& out, const wxString& text)
{
    return out << '"' << text.utf8_string() << '"';
}

// Chosen by the test framework over printing the text as a container.
inline void PrintTo(const wxString& text, std::ostream* out)
{
    *out << text;
}

using Bytes = std::vector<uint8_t>;

// Hex dump, so a failed byte comparison names the bytes.
std::string HexDump(const uint8_t* data, size_t size);

// Routes toolkit assertions into the running test as failures.
void InstallAssertHandler();

// A fresh, empty folder for the current test, removed with the object.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);
