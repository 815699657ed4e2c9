#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <wx/debug.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

std::string HexDump(const uint8_t* data, size_t size)
{
    std::string out;
    char piece[4];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(piece, sizeof piece, "%02X ", data[i]);
        out += piece;
    }
    return out;
}

namespace {

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_string().c_str(), line)
        << "toolkit assertion in " << func.utf8_string() << ": " << cond.utf8_string() << " "
        << msg.utf8_string();
}

} // namespace

void InstallAssertHandler()
{
    wxSetAssertHandler(FailOnAssert);
}

TempDir::TempDir()
{
    char pattern[] = "/tmp/qst-test-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made)
        std::abort();
    m_path = made;
}

TempDir::~TempDir()
{
    const std::string command = "rm -rf '" + m_path + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", m_path.c_str());
}

Bytes ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
