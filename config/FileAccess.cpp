#include "config/FileAccess.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

std::string NativePath(const wxString& name)
{
    return std::string(name.fn_str());
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

} // namespace

bool ReadFileHead(const wxString& fileName, size_t limit, std::string& bytes, wxString& error)
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
    bytes.assign(limit, '\0');
    size_t size = 0;
    while (size < limit) {
        const ssize_t n = ::read(file.Get(), &bytes[size], limit - size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        size += size_t(n);
    }
    bytes.resize(size);
    return true;
}

bool ReplaceFileAtomically(const wxString& fileName, const std::string& bytes)
{
    return ReplaceFile(NativePath(fileName), bytes);
}
