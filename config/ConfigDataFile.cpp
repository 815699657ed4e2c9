// Loading and saving configuration files (formats 1 and 2).
#include "config/ConfigData.h"

#include "config/BlockCrc.h"
#include "config/FileAccess.h"

#include <wx/filename.h>

#include <cstring>
#include <string>

namespace {

constexpr size_t kMagicSize = 25;
constexpr char kMagicV1[kMagicSize + 1] = "Quorastelline Config v1 ";
constexpr char kMagicV2[kMagicSize + 1] = "Quorastelline Config v2 ";
static_assert(kMagicV1[23] == ' ' && kMagicV1[24] == '\0', "magic is 24 characters and a NUL");

// Largest file the formats define; bytes past it are never looked at.
constexpr size_t kMaxFileSize = kMagicSize + kMainBlockSize + 2 + kIpBlockSize + 2 + kNotesSize;

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

void AppendBlock(std::string& out, const void* block, size_t length)
{
    out.append(static_cast<const char*>(block), length);
    const uint16_t crc = BlockCrc(block, uint16_t(length));
    out.push_back(char(crc & 0xFF));
    out.push_back(char(crc >> 8));
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
    std::string bytes;
    if (!ReadFileHead(fileName, kMaxFileSize, bytes, error))
        return false;
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t size = bytes.size();

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

    if (!ReplaceFileAtomically(fileName, bytes))
        return false;

    BindToFile(fileName);
    return true;
}
