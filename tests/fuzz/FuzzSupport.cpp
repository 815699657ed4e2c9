#include "FuzzSupport.h"

#include "config/ConfigData.h"

#include <wx/init.h>
#include <wx/socket.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void AbortOnAssert(const wxString& file, int line, const wxString& function, const wxString& condition,
                   const wxString& message)
{
    std::fprintf(stderr, "toolkit assertion at %s:%d in %s: %s %s\n", static_cast<const char*>(file.utf8_str()), line,
                 static_cast<const char*>(function.utf8_str()), static_cast<const char*>(condition.utf8_str()),
                 static_cast<const char*>(message.utf8_str()));
    std::abort();
}

} // namespace

void FuzzInitialize()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    if (!wxInitialize()) {
        std::fprintf(stderr, "the toolkit did not start\n");
        std::exit(2);
    }
    wxSetAssertHandler(AbortOnAssert);
    wxSocketBase::Initialize();
}

const std::string& FuzzScratchDir()
{
    static const std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/qst-fuzz-XXXXXX";
        if (!::mkdtemp(&pattern[0])) {
            std::fprintf(stderr, "no scratch folder under %s: %s\n", pattern.c_str(), std::strerror(errno));
            std::exit(2);
        }
        return pattern;
    }();
    return dir;
}

void WriteWholeFile(const std::string& path, const uint8_t* data, size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FUZZ_CHECK(fd >= 0, path + ": " + std::strerror(errno));
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        FUZZ_CHECK(n > 0 || errno == EINTR, path + ": " + std::strerror(errno));
        if (n > 0)
            done += size_t(n);
    }
    ::close(fd);
}

std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, size_t(n));
    ::close(fd);
    return bytes;
}

void FuzzFail(const char* file, int line, const std::string& what)
{
    std::fprintf(stderr, "%s:%d: %s\n", file, line, what.c_str());
    std::abort();
}

DocumentImage::DocumentImage(const ConfigData& document)
{
    std::memcpy(main.data(), &document.GetMainBlock(), kMainBlockSize);
    std::memcpy(ip.data(), &document.GetIpBlock(), kIpBlockSize);
    std::memcpy(notes.data(), document.GetNotesBlock(), kNotesSize);
    hasFile = document.GetFileName(fileName);
    directory = document.GetDirectory();
    modified = document.IsModified();
}

bool DocumentImage::SameBlocks(const DocumentImage& other) const
{
    return main == other.main && ip == other.ip && notes == other.notes;
}

bool DocumentImage::operator==(const DocumentImage& other) const
{
    return SameBlocks(other) && hasFile == other.hasFile && fileName == other.fileName &&
           directory == other.directory && modified == other.modified;
}

std::string DocumentImage::Difference(const DocumentImage& other) const
{
    const auto firstDifference = [](const auto& a, const auto& b) {
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                return std::to_string(i) + " (" + std::to_string(a[i]) + " != " + std::to_string(b[i]) + ")";
        return std::string("none");
    };
    if (main != other.main)
        return "main block byte " + firstDifference(main, other.main);
    if (ip != other.ip)
        return "IP block byte " + firstDifference(ip, other.ip);
    if (notes != other.notes)
        return "notes byte " + firstDifference(notes, other.notes);
    if (hasFile != other.hasFile || fileName != other.fileName)
        return "file name";
    if (directory != other.directory)
        return "directory";
    if (modified != other.modified)
        return "modified flag";
    return "none";
}
