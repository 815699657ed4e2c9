// The document's read from and write to a device.
#include "config/ConfigData.h"

#include "config/BlockCrc.h"

#include <cstring>

bool ConfigData::ReadFromDevice(bool useTcp, const wxString& target, int portOrSpeed, wxString& error)
{
    MainBlock main = m_main;
    IpBlock ip = m_ip;
    if (!ReadConfig(useTcp, target, portOrSpeed, main, ip, error))
        return false;
    SetBlocks(main, ip);
    return true;
}

bool ConfigData::WriteToDevice(bool useTcp, const wxString& target, int portOrSpeed, wxString& error,
                               const ConfirmLossyWrite& confirmLoss, MacOnWrite mac)
{
    if (mac == MacOnWrite::Document)
        return WriteConfig(useTcp, target, portOrSpeed, m_main, m_ip, error, confirmLoss);
    IpBlock sent = m_ip;
    std::memset(sent.macAddress, 0, sizeof sent.macAddress);
    sent.ipCrc = BlockCrc(&sent, kIpCrcCoverage);
    return WriteConfig(useTcp, target, portOrSpeed, m_main, sent, error, confirmLoss);
}

void ConfigData::SetBlocks(const MainBlock& main, const IpBlock& ip)
{
    m_main = main;
    m_ip = ip;
    m_modified = true;
}

void ConfigData::SetBlocks(const MainBlock& main, const IpBlock& ip, const uint8_t (&notes)[kNotesSize])
{
    SetBlocks(main, ip);
    std::memcpy(m_notes, notes, kNotesSize);
}

void ConfigData::CopyContentFrom(const ConfigData& other)
{
    SetBlocks(other.m_main, other.m_ip, other.m_notes);
}
