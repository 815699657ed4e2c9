// The texts that the window's grids and the report show.
#include "config/ConfigData.h"

#include <gtest/gtest.h>

namespace {

// A document whose node 2 is free for each case to shape.
class TextForms : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_config.AddNode()); }
    NodeEntry& Node() { return *m_config.GetNode(2); }
    ConfigData m_config;
};

} // namespace

TEST_F(TextForms, ProtocolNames)
{
    const char* names[] = {"Unknown", "Control", "IO Master", "UCE Master", "UCE Slave", "S2 Master",
                           "S2 Slave", "Genisys Master", "Genisys Slave", "Host Master", "Host Slave",
                           "NTP Client", "Analogue/Audio Master", "Null", "Unknown"};
    for (int code = 0; code <= 14; ++code) {
        Node().protocol = uint8_t(code);
        EXPECT_EQ(m_config.GetProtocolName(2), names[code]) << code;
    }
    Node().protocol = 255;
    EXPECT_EQ(m_config.GetProtocolName(2), "Unknown");
}

TEST_F(TextForms, NetworkPorts)
{
    Node().SetPortType(PORT_TCP_SERVER);
    Node().portNumber = 502;
    EXPECT_EQ(m_config.GetPortText(2), "TCP Server on port 502");
    Node().SetPortType(PORT_UDP_SERVER);
    Node().portNumber = 65535;
    EXPECT_EQ(m_config.GetPortText(2), "UDP Server on port 65535");
    Node().SetPortType(PORT_TCP_CLIENT);
    const uint8_t ip[4] = {10, 0, 0, 7};
    std::copy(ip, ip + 4, Node().remoteIp);
    Node().portNumber = 502;
    EXPECT_EQ(m_config.GetPortText(2), "TCP Client to 10.0.0.7:502");
    Node().SetPortType(PORT_UDP_CLIENT);
    EXPECT_EQ(m_config.GetPortText(2), "UDP Client to 10.0.0.7:502");
}

TEST_F(TextForms, SerialPortsAndOthers)
{
    const char* asyncTexts[] = {"Async serial COM1", "Async serial COM2", "Async serial COM3",
                                "Async serial COM4", "Async serial unknown"};
    const char* syncTexts[] = {"Sync serial COM1", "Sync serial COM2", "Sync serial COM3",
                               "Sync serial COM4", "Sync serial unknown"};
    for (uint16_t n = 0; n <= 4; ++n) {
        Node().portNumber = n;
        Node().SetPortType(PORT_ASYNC_SERIAL);
        EXPECT_EQ(m_config.GetPortText(2), asyncTexts[n]);
        Node().SetPortType(PORT_SYNC_SERIAL);
        EXPECT_EQ(m_config.GetPortText(2), syncTexts[n]);
    }
    Node().SetPortType(PORT_SPI);
    EXPECT_EQ(m_config.GetPortText(2), "SPI");
    for (uint8_t type : {0, 9, 15}) {
        Node().SetPortType(type);
        EXPECT_EQ(m_config.GetPortText(2), "Unknown");
    }
}

TEST_F(TextForms, ModemModes)
{
    const char* texts[] = {"Modem, unknown", "Modem, unknown", "Modem, Bell202 FSK 150",
                           "Modem, Bell202 FSK 1200", "Modem, v23 FSK 75", "Modem, v23 FSK 1200",
                           "Modem, Bell103 300 FSK lo", "Modem, Bell103 300 FSK hi",
                           "Modem, v21 300 FSK Lo", "Modem, v21 300 FSK Hi", "Modem, v22 600 DPSK Lo",
                           "Modem, v22 600 DPSK Hi", "Modem, v22 1200 DPSK Lo", "Modem, v22 1200 DPSK Hi",
                           "Modem, unknown", "Modem, unknown"};
    Node().SetPortType(PORT_MODEM);
    for (unsigned mode = 0; mode < 16; ++mode) {
        Node().portWord = uint16_t((mode << 12) | 0x0FFF);
        EXPECT_EQ(m_config.GetPortText(2), texts[mode]) << mode;
    }
}

TEST_F(TextForms, SlaveIdsAndRanges)
{
    Node().slaveCount = 0;
    EXPECT_EQ(m_config.GetSlaveIdsText(2), "");
    EXPECT_EQ(m_config.GetReadRangesText(2), "");

    Node().slaveCount = 3;
    const uint8_t ids[3] = {0, 17, 255};
    const uint16_t readStarts[3] = {0, 9, 4};
    const uint8_t readLengths[3] = {4, 0, 4};
    const uint16_t writeStarts[3] = {255, 300, 0};
    const uint8_t writeLengths[3] = {1, 255, 0};
    for (int k = 0; k < 3; ++k) {
        Node().slaveId[k] = ids[k];
        Node().readStart[k] = readStarts[k];
        Node().readLength[k] = readLengths[k];
        Node().writeStart[k] = writeStarts[k];
        Node().writeLength[k] = writeLengths[k];
    }
    Node().slaveId[3] = 99;   // beyond the count
    EXPECT_EQ(m_config.GetSlaveIdsText(2), "0, 17, 255");
    EXPECT_EQ(m_config.GetReadRangesText(2), "1-4, 5-8");
    EXPECT_EQ(m_config.GetWriteRangesText(2), "256-256, 301-555");

    Node().readLength[0] = 0;
    EXPECT_EQ(m_config.GetReadRangesText(2), "5-8");
}

TEST_F(TextForms, IpTexts)
{
    IpTexts texts;
    ASSERT_TRUE(m_config.GetIpTexts(texts));
    EXPECT_EQ(texts.ipAddress, "192.168.1.1");
    EXPECT_EQ(texts.subnetMask, "255.255.255.0");
    EXPECT_EQ(texts.gateway, "192.168.1.254");
    EXPECT_EQ(texts.macAddress, "00:50:C2:F0:A0:00");
    EXPECT_EQ(texts.bootLoaderPort, "6003");

    ASSERT_TRUE(m_config.SetIpSettings("1.2.3.4", "0.0.0.0", "255.255.255.255", "ab:cd:ef:1:2:3", "65535"));
    ASSERT_TRUE(m_config.GetIpTexts(texts));
    EXPECT_EQ(texts.ipAddress, "1.2.3.4");
    EXPECT_EQ(texts.gateway, "255.255.255.255");
    EXPECT_EQ(texts.macAddress, "AB:CD:EF:01:02:03");
    EXPECT_EQ(texts.bootLoaderPort, "65535");
}
