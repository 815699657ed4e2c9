// The configuration document: the device configuration as its byte image,
// plus the file it is bound to and whether it has changed since.
#pragma once

#include "config/ConfigLayout.h"
#include "device/ConfigProtocol.h"

#include <wx/string.h>

#include <functional>

// One slave-table entry's memory ranges.
struct SlaveRanges {
    uint16_t readStart = 0;
    uint8_t readLength = 0;
    uint16_t writeStart = 0;
    uint8_t writeLength = 0;
};

struct IpTexts {
    wxString ipAddress, subnetMask, gateway, macAddress, bootLoaderPort;
};

// The MAC address a write sends: the document's, or all zeros, which a
// device takes as "keep your own".
enum class MacOnWrite { Document, KeptByDevice };

// Edits a scratch copy of a node entry; true when the user accepted.
using NodeEditor = std::function<bool(NodeEntry& scratch)>;

class ConfigData : public ConfigProtocol
{
public:
    ConfigData();

    bool SetDefaults();
    bool SetIpDefaults();

    void SetWriteProtect(uint8_t value);
    uint8_t GetWriteProtect() const { return m_main.writeProtect; }
    void SetDataAge(uint8_t value);
    uint8_t GetDataAge() const { return m_main.dataAge; }
    void SetSdLogLevel(uint8_t value);
    uint8_t GetSdLogLevel() const { return m_main.sdLogLevel; }
    void SetSdLogAge(uint8_t value);
    uint8_t GetSdLogAge() const { return m_main.sdLogAge; }

    uint8_t GetNodeCount() const { return m_main.nodeCount; }
    // The entry in place; nullptr for an index of 6 or more.
    NodeEntry* GetNode(unsigned index);
    const NodeEntry* GetNode(unsigned index) const;
    uint8_t GetProtocol(unsigned index) const;
    bool GetSlaveEntry(unsigned node, unsigned entry, SlaveRanges& ranges) const;
    bool IsControlLinkNode(unsigned index) const;
    bool HasControlLink() const;

    bool AddNode();
    bool DeleteNode(unsigned index);
    bool EditNode(unsigned index, const NodeEditor& editor);
    // Adds a node and runs the editor on it. A cancelled add leaves no trace:
    // the whole main block, unused entries too, and the modified flag are
    // put back as they were.
    enum class NodeAdd { Added, Cancelled, Full };
    NodeAdd AddEditedNode(const NodeEditor& editor);

    bool SetIpSettings(const wxString& ip, const wxString& mask, const wxString& gateway,
                       const wxString& mac, const wxString& port);
    // True when the texts parse and name the addresses and port the
    // document holds: storing them would change nothing the user sees.
    bool IpSettingsMatch(const wxString& ip, const wxString& mask, const wxString& gateway,
                         const wxString& mac, const wxString& port) const;

    wxString GetNotes() const;
    void SetNotes(const wxString& text);

    bool GetFileName(wxString& name) const;
    bool GetFileTitle(wxString& title) const;
    wxString GetDirectory() const { return m_directory; }
    bool IsModified() const { return m_modified; }
    // File Close: the document stays, but is no longer bound to its file.
    void DetachFile() { m_hasFile = false; }

    bool Load(const wxString& fileName, wxString& error);
    bool Save(const wxString& fileName);

    bool ReadFromDevice(bool useTcp, const wxString& target, int portOrSpeed, wxString& error);
    // The document itself keeps its MAC whichever one is sent.
    bool WriteToDevice(bool useTcp, const wxString& target, int portOrSpeed, wxString& error,
                       const ConfirmLossyWrite& confirmLoss = {}, MacOnWrite mac = MacOnWrite::Document);

    // Replaces the whole image, as a read from a device does; marks modified.
    void SetBlocks(const MainBlock& main, const IpBlock& ip);
    // Replaces the whole image, notes block included, byte for byte; marks
    // modified.
    void SetBlocks(const MainBlock& main, const IpBlock& ip, const uint8_t (&notes)[kNotesSize]);
    // Takes the other document's blocks and notes, byte for byte, but not
    // its file; marks modified.
    void CopyContentFrom(const ConfigData& other);

    uint16_t ReportCrc() const;

    // Text forms shown by the window and the report.
    wxString GetProtocolName(unsigned index) const;
    wxString GetPortText(unsigned index) const;
    wxString GetSlaveIdsText(unsigned index) const;
    wxString GetReadRangesText(unsigned index) const;
    wxString GetWriteRangesText(unsigned index) const;
    bool GetIpTexts(IpTexts& texts) const;

    // The raw blocks, for the file, the device transfer and the report.
    const MainBlock& GetMainBlock() const { return m_main; }
    const IpBlock& GetIpBlock() const { return m_ip; }
    const uint8_t* GetNotesBlock() const { return m_notes; }

private:
    void RecomputeIpCrc();
    // After a load or save: the document is that file's, unmodified.
    void BindToFile(const wxString& fileName);
    void SetByte(uint8_t& field, uint8_t value);
    static bool IndexInUse(unsigned index, uint8_t nodeCount) { return index < kMaxNodes && index < nodeCount; }

    MainBlock m_main{};
    IpBlock m_ip{};
    uint8_t m_notes[kNotesSize]{};

    bool m_hasFile = false;
    bool m_modified = false;
    wxString m_fileName;
    wxString m_directory;
};

// Protocol name by code, "Unknown" for any other.
wxString ProtocolNameText(uint8_t protocol);
// Port description of a node entry.
wxString PortText(const NodeEntry& node);
