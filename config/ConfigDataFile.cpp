// Loading and saving configuration files (formats 1 and 2).
#include "config/ConfigData.h"

#include "config/BlockCrc.h"

#include <wx/filename.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kMagicSize = 25;
constexpr char kMagicV1[kMagicSize + 1] = "Quorastelline Config v1 ";
constexpr char kMagicV2[kMagicSize + 1] = "Quorastelline Config v2 ";
static_assert(kMagicV1[23] == ' ' && kMagicV1[24] == '\0', "magic is 24 characters and a NUL");

// Largest file the formats define; bytes past it are never looked at.
constexpr size_t kMaxFileSize = kMagicSize + kMainBlockSize + 2 + kIpBlockSize + 2 + kNotesSize;

constexpr char kNotRegularFileText[] = "Could not open file: not a regular file";

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    bool Close()
    {
        if (m_fd < 0)
            return true;
        const bool ok = ::close(m_fd) == 0;
        m_fd = -1;
        return ok;
    }

private:
    int m_fd;
};

// A cursor over the bytes read from a file; a block that runs past the end
// is a block whose checksum test fails.
class BlockReader
{
public:
    BlockReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool ReadChecked(void* block, size_t length)
    {
        if (m_pos + length + 2 > m_size)
            return false;
        std::memcpy(block, m_data + m_pos, length);
        const uint16_t stored = uint16_t(m_data[m_pos + length] | (m_data[m_pos + length + 1] << 8));
        m_pos += length + 2;
        return BlockCrc(block, uint16_t(length)) == stored;
    }

    size_t Remaining() const { return m_size - m_pos; }
    const uint8_t* Here() const { return m_data + m_pos; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = kMagicSize;
};

std::string NativePath(const wxString& name)
{
    return std::string(name.fn_str());
}

void AppendBlock(std::string& out, const void* block, size_t length)
{
    out.append(static_cast<const char*>(block), length);
    const uint16_t crc = BlockCrc(block, uint16_t(length));
    out.push_back(char(crc & 0xFF));
    out.push_back(char(crc >> 8));
}

// Where the bytes of `path` really live: a symbolic link is followed (also
// a dangling one) so that saving replaces the file and keeps the link.
std::string ResolveLinks(std::string path)
{
    for (int depth = 0; depth < 40; ++depth) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        if (n < 0)
            break;
        target[n] = '\0';
        if (target[0] == '/') {
            path = target;
        } else {
            const size_t slash = path.rfind('/');
            path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
        }
    }
    return path;
}

bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

mode_t CreationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes `bytes` to a new file beside `target` and renames it over the
// target only when every byte is on disk, so a failed save leaves the old
// file as it was.
bool ReplaceFile(const std::string& requested, const std::string& bytes)
{
    const std::string target = ResolveLinks(requested);
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    std::string temp = folder + (slash == std::string::npos ? "/" : "") + ".qst-save-XXXXXX";

    const int fd = ::mkstemp(&temp[0]);
    if (fd < 0)
        return false;
    FileDescriptor file(fd);
    const bool written = ::fchmod(fd, CreationMode()) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    if (!file.Close() || !written || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

wxString FolderOf(const wxString& fileName)
{
    wxFileName name(fileName);
    name.MakeAbsolute();
    return name.GetPath(wxPATH_GET_VOLUME);
}

} // namespace

void ConfigData::BindToFile(const wxString& fileName)
{
    m_fileName = fileName;
    m_hasFile = true;
    m_directory = FolderOf(fileName);
    m_modified = false;
}

bool ConfigData::Load(const wxString& fileName, wxString& error)
{
    const std::string path = NativePath(fileName);
    struct stat info {};
    if (fileName.empty() || ::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        error = "Could not open file";
        return false;
    }
    // A FIFO would block the open and every read until a writer appears, and
    // opening a device can have effects of its own: only plain files are read.
    if (!S_ISREG(info.st_mode)) {
        error = kNotRegularFileText;
        return false;
    }
    // Non-blocking, in case the name was replaced by a FIFO since the check.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0 || S_ISDIR(info.st_mode)) {
        error = "Could not open file";
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = kNotRegularFileText;
        return false;
    }

    uint8_t data[kMaxFileSize];
    size_t size = 0;
    while (size < sizeof data) {
        const ssize_t n = ::read(file.Get(), data + size, sizeof data - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        size += size_t(n);
    }
    file.Close();

    BlockReader reader(data, size);
    MainBlock main{};
    IpBlock ip{};
    uint8_t notes[kNotesSize] = {};

    if (size >= kMagicSize && std::memcmp(data, kMagicV1, kMagicSize) == 0) {
        LegacyBlock legacy{};
        if (!reader.ReadChecked(&legacy, kLegacyBlockSize)) {
            error = "File data corrupted (1a)";
            return false;
        }
        if (!reader.ReadChecked(&ip, kIpBlockSize)) {
            error = "File data corrupted (2a)";
            return false;
        }
        // The file's IP settings are taken over with its nodes: keeping the
        // previous document's would pair them with a configuration they do
        // not belong to. Format 1 has no notes; the document keeps its own.
        LegacyToMain(legacy, m_main);
        m_ip = ip;
    } else if (size >= kMagicSize && std::memcmp(data, kMagicV2, kMagicSize) == 0) {
        if (!reader.ReadChecked(&main, kMainBlockSize)) {
            error = "File data corrupted (1b)";
            return false;
        }
        if (!reader.ReadChecked(&ip, kIpBlockSize)) {
            error = "File data corrupted (2b)";
            return false;
        }
        // Notes that begin with a NUL are empty and are not saved: bytes
        // after that NUL would be lost by the next save, so they are not
        // taken either, and a save and a load give the same document back.
        if (reader.Remaining() > 0 && reader.Here()[0] != 0)
            std::memcpy(notes, reader.Here(), std::min(reader.Remaining(), kNotesSize - 1));
        m_main = main;
        m_ip = ip;
        std::memcpy(m_notes, notes, kNotesSize);
    } else {
        error = "File header mismatch";
        return false;
    }

    BindToFile(fileName);
    return true;
}

bool ConfigData::Save(const wxString& fileName)
{
    if (fileName.empty())
        return false;

    std::string bytes(kMagicV2, kMagicSize);
    AppendBlock(bytes, &m_main, kMainBlockSize);
    AppendBlock(bytes, &m_ip, kIpBlockSize);
    if (m_notes[0] != 0) {
        m_notes[kNotesSize - 1] = 0;
        bytes.append(reinterpret_cast<const char*>(m_notes), kNotesSize);
    }

    if (!ReplaceFile(NativePath(fileName), bytes))
        return false;

    BindToFile(fileName);
    return true;
}
