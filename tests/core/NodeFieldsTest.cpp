#include "config/NodeFields.h"
#include "support/NodeImage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace NodeFields;

namespace {

struct BitCase {
    const char* name;
    Field field;
    size_t offset;   // node byte holding the bit
    uint8_t mask;
};

// Every one-bit field with its node byte and bit, as laid out by hand.
const std::vector<BitCase> kBits = {
    {"S2 extra byte", kS2ExtraByte, 2, 0x01},
    {"S2 no bit stuffing", kS2NoBitStuffing, 2, 0x08},
    {"S2 slave prefix bit", kS2SlavePrefixBit, 2, 0x40},
    {"Genisys secure polls", kGenisysSecurePolls, 1, 0x01},
    {"Genisys checkback", kGenisysCheckback, 1, 0x02},
    {"Genisys secure inverse", kGenisysSecureInverse, 1, 0x10},
    {"Host send SCF", kHostSendScf, 2, 0x04},
    {"Host store SCF", kHostStoreScf, 2, 0x08},
    {"Null use offset", kNullUseOffset, 2, 0x01},
    {"Analogue triggers", kAnalogueTriggersMode, 1, 0x04},
    {"Analogue active low", kAnalogueActiveLow, 1, 0x80},
    {"Analogue ch 1 voltage", AnalogueVoltage(0), 2, 0x10},
    {"Analogue ch 2 voltage", AnalogueVoltage(1), 2, 0x20},
    {"Analogue ch 3 voltage", AnalogueVoltage(2), 2, 0x40},
    {"Analogue ch 4 voltage", AnalogueVoltage(3), 2, 0x80},
    {"client fixed source port", kClientFixedSourcePort, 3, 0x01},
    {"sync use CTS", kSyncUseCts, 12, 0x10},
    {"sync idle flags", kSyncIdleFlags, 12, 0x80},
    {"modem PTT active high", kModemPttActiveHigh, 12, 0x01},
    {"modem carrier", kModemCarrier, 12, 0x02},
};

} // namespace

TEST(NodeFields, EachFlagSetsAndClearsOnlyItsOwnBit)
{
    for (const BitCase& bit : kBits) {
        SCOPED_TRACE(bit.name);
        NodeEntry node = EntryOf(FilledImage(0x00));
        SetFlag(node, bit.field, true);
        NodeImage expected = FilledImage(0x00);
        expected[bit.offset] = bit.mask;
        EXPECT_EQ(Differences(ImageOf(node), expected), "");
        EXPECT_TRUE(GetFlag(node, bit.field));

        node = EntryOf(FilledImage(0xFF));
        SetFlag(node, bit.field, false);
        expected = FilledImage(0xFF);
        expected[bit.offset] = uint8_t(0xFF & ~bit.mask);
        EXPECT_EQ(Differences(ImageOf(node), expected), "");
        EXPECT_FALSE(GetFlag(node, bit.field));
    }
}

TEST(NodeFields, NumbersLandInTheirBytesAndKeepTheOtherBits)
{
    struct Case {
        const char* name;
        Field field;
        int value;
        std::vector<std::pair<size_t, uint8_t>> bytes;   // written onto an image of 0xFF
    };
    const std::vector<Case> cases = {
        {"S2 start flags", kS2StartFlags, 3, {{1, 0xF3}}},
        {"S2 end flags", kS2EndFlags, 9, {{1, 0x9F}}},
        {"Host loop number", kHostLoopNumber, 200, {{1, 0xC8}}},
        {"Genisys poll byte", kGenisysMasterPollMs, 500, {{2, 50}}},
        {"NTP interval", kNtpIntervalHours, 24, {{2, 24}}},
        {"Null fill", kNullFill, 0xA5, {{1, 0xA5}}},
        {"port type", kPortType, PORT_ASYNC_SERIAL, {{4, 0x5F}}},
        {"listen port", kIpPort, 4001, {{9, 0xA1}, {10, 0x0F}}},
        {"COM index", kComIndex, 2, {{9, 2}, {10, 0}}},
        {"UART format", kUartFormat, 5, {{12, 0xF5}}},
        {"UART handshake", kUartHandshake, 2, {{12, 0x2F}}},
        {"sync clock", kSyncClock, SYNC_CLOCK_NONE, {{12, 0xF3}}},
        {"modem mode", kModemMode, 2, {{13, 0x2F}}},
        {"modem tx attenuation 0 dB", kModemTxAttenuation, 7, {{12, 0xFF}, {13, 0xFF}}},
        {"modem rx attenuation -10.5 dB", kModemRxAttenuation, 0, {{13, 0xF1}}},
        {"modem tx attenuation -10.5 dB", kModemTxAttenuation, 0, {{12, 0x3F}, {13, 0xFE}}},
        {"modem preamble", kModemPreamble, 3, {{10, 3}}},
        {"modem postamble", kModemPostamble, 2, {{9, 2}}},
        {"S2 master poll", kS2MasterPollMs, 1000, {{365, 100}}},
        {"Host slave poll", kHostSlavePollMs, 500, {{365, 50}}},
        {"source port 6001", kClientSourcePort, 6001, {{366, 0x17}, {367, 0x71}}},
        {"analogue ch 1 high", AnalogueHigh(0), 20000, {{366, 0x20}, {367, 0x4E}}},
        {"analogue ch 1 low", AnalogueLow(0), 5000, {{368, 0x88}, {369, 0x13}}},
        {"analogue ch 2 high", AnalogueHigh(1), 1, {{370, 0x01}, {371, 0x00}}},
        {"analogue ch 4 low", AnalogueLow(3), 44000, {{380, 0xE0}, {381, 0xAB}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NodeEntry node = EntryOf(FilledImage(0xFF));
        SetValue(node, c.field, c.value);
        NodeImage expected = FilledImage(0xFF);
        for (const auto& [offset, byte] : c.bytes)
            expected[offset] = byte;
        EXPECT_EQ(Differences(ImageOf(node), expected), "");
        EXPECT_EQ(GetValue(node, c.field), c.value);
    }
}

TEST(NodeFields, PollTimesAreKeptInTensOfMilliseconds)
{
    NodeEntry node = EntryOf(FilledImage(0));
    SetValue(node, kS2MasterPollMs, 1009);   // truncated
    EXPECT_EQ(ImageOf(node)[365], 100);
    EXPECT_EQ(GetValue(node, kS2MasterPollMs), 1000);

    SetValue(node, kGenisysMasterPollMs, 505);   // rounded
    EXPECT_EQ(ImageOf(node)[2], 51);
    EXPECT_EQ(GetValue(node, kGenisysMasterPollMs), 510);
    SetValue(node, kGenisysMasterPollMs, 504);
    EXPECT_EQ(ImageOf(node)[2], 50);

    SetValue(node, kHostSlavePollMs, 2545);
    EXPECT_EQ(ImageOf(node)[365], 255);
}

TEST(NodeFields, ValuesBeyondAFieldAreHeldAtItsLimitNotWrapped)
{
    NodeEntry node = EntryOf(FilledImage(0));
    SetValue(node, kHostLoopNumber, 256);
    EXPECT_EQ(ImageOf(node)[1], 255);
    SetValue(node, kNtpIntervalHours, 256);
    EXPECT_EQ(ImageOf(node)[2], 255);
    SetValue(node, kGenisysMasterPollMs, 2560);
    EXPECT_EQ(ImageOf(node)[2], 255);
    SetValue(node, kS2MasterPollMs, 10000);
    EXPECT_EQ(ImageOf(node)[365], 255);
    SetValue(node, kHostSlavePollMs, 2560);
    EXPECT_EQ(ImageOf(node)[365], 255);
    SetValue(node, kS2StartFlags, 16);
    EXPECT_EQ(ImageOf(node)[1] & 0x0F, 0x0F);
    SetValue(node, kNtpTimeZone, -200);
    EXPECT_EQ(ImageOf(node)[1], 0x80);

    EXPECT_EQ(MaxValue(kGenisysMasterPollMs), 2550);
    EXPECT_EQ(MaxValue(kS2MasterPollMs), 2550);
    EXPECT_EQ(MaxValue(kHostLoopNumber), 255);
    EXPECT_EQ(MinValue(kNtpTimeZone), -128);
    EXPECT_EQ(MaxValue(kClientSourcePort), 65535);
}

TEST(NodeFields, TimeZoneIsASignedByte)
{
    NodeEntry node = EntryOf(FilledImage(0));
    SetValue(node, kNtpTimeZone, -5);
    EXPECT_EQ(ImageOf(node)[1], 0xFB);
    EXPECT_EQ(GetValue(node, kNtpTimeZone), -5);
    SetValue(node, kNtpTimeZone, 12);
    EXPECT_EQ(ImageOf(node)[1], 0x0C);
    EXPECT_EQ(GetValue(node, kNtpTimeZone), 12);
}

TEST(NodeFields, TwoBitChoicesPreferBitAAndClearTheOtherBit)
{
    NodeImage image = FilledImage(0);
    image[1] = 0x03;   // no-data bits 0 and 1 both set
    NodeEntry node = EntryOf(image);
    EXPECT_EQ(GetChoice(node, kIoNoData), 1u);
    image[1] = 0x02;
    node = EntryOf(image);
    EXPECT_EQ(GetChoice(node, kIoNoData), 2u);

    node = EntryOf(FilledImage(0xFF));
    SetChoice(node, kS2NoData, NODATA_LAST_KNOWN);   // bit 13 set, bit 12 clear
    EXPECT_EQ(ImageOf(node)[2], 0xEF);
    SetChoice(node, kS2Nrz, NRZ_NONE);   // bits 9 and 10 clear
    EXPECT_EQ(ImageOf(node)[2], 0xE9);

    node = EntryOf(FilledImage(0));
    SetChoice(node, kModemNrz, NRZ_S);   // NRZs is bit 3 on the modem
    EXPECT_EQ(ImageOf(node)[12], 0x08);
    SetChoice(node, kModemNrz, NRZ_I);
    EXPECT_EQ(ImageOf(node)[12], 0x04);
    SetChoice(node, kSyncNrz, NRZ_S);   // and bit 5 on the synchronous line
    EXPECT_EQ(ImageOf(node)[12], 0x24);
}

TEST(NodeFields, SpeedCodes)
{
    const std::vector<std::pair<uint8_t, unsigned>> table = {
        {1, 600}, {2, 1200}, {4, 2400}, {8, 4800}, {16, 9600}, {24, 14400},
        {32, 19200}, {48, 28800}, {64, 38400}, {93, 56000}, {96, 57600}, {192, 115200},
    };
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(SpeedIndexOf(table[i].first), int(i));
        EXPECT_EQ(SpeedCodeAt(int(i)), table[i].first);
        EXPECT_EQ(BaudOf(table[i].first), table[i].second);
    }
    EXPECT_EQ(SpeedIndexOf(7), -1);
    EXPECT_EQ(SpeedCodeAt(12), 4);
    EXPECT_EQ(SpeedCodeAt(-1), 4);
    EXPECT_EQ(BaudOf(7), 4200u);
}

TEST(NodeFields, FillText)
{
    struct Case {
        const char* text;
        FillParse status;
        uint8_t byte;
    };
    const std::vector<Case> cases = {
        {"a5", FillParse::Byte, 0xA5},
        {"A5", FillParse::Byte, 0xA5},
        {" 0x1f", FillParse::Byte, 0x1F},
        {"7 junk", FillParse::Byte, 0x07},
        {"ff", FillParse::Byte, 0xFF},
        {"zz", FillParse::NotHex, 0},
        {"", FillParse::NotHex, 0},
        {"100", FillParse::AboveFF, 0xFF},
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", FillParse::AboveFF, 0xFF},
        // Only the first 32 characters are read.
        {"                               7F", FillParse::Byte, 0x07},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const FillResult result = ParseFillText(c.text);
        EXPECT_EQ(int(result.status), int(c.status));
        EXPECT_EQ(result.byte, c.byte);
    }
    EXPECT_EQ(FillText(0xA5), "A5");
    EXPECT_EQ(FillText(0x05), "05");
}

TEST(NodeFields, ServerAddressText)
{
    ServerAddress address = ParseServerAddress("10.0.0.7");
    EXPECT_TRUE(address.complete);
    EXPECT_TRUE(address.valid);
    EXPECT_EQ(address.bytes, (std::array<uint8_t, 4>{10, 0, 0, 7}));

    address = ParseServerAddress("300.1.2.3");
    EXPECT_TRUE(address.complete);
    EXPECT_FALSE(address.valid);
    EXPECT_EQ(address.bytes, (std::array<uint8_t, 4>{44, 1, 2, 3}));

    EXPECT_FALSE(ParseServerAddress("-1.2.3.4").valid);
    EXPECT_FALSE(ParseServerAddress("10.0.0").complete);
    EXPECT_FALSE(ParseServerAddress("1000.1.1.1").complete);

    NodeImage image = FilledImage(0);
    image[5] = 127;
    image[8] = 9;
    NodeEntry node = EntryOf(image);
    EXPECT_EQ(ServerAddressText(node), "127.0.0.9");
    EXPECT_FALSE(StoreServerAddress(node, "1.2.3"));
    EXPECT_EQ(Differences(ImageOf(node), image), "");
    EXPECT_TRUE(StoreServerAddress(node, "127.0.0.1"));
    image[8] = 1;
    EXPECT_EQ(Differences(ImageOf(node), image), "");
}

TEST(NodeFields, FixedSourcePortOnlyForClientsNotRunningAnalogue)
{
    NodeImage image = FilledImage(0);
    image[0] = PROTOCOL_HOST_MASTER;
    image[3] = 0x01;
    image[4] = 0x20;   // TCP client
    EXPECT_TRUE(HasFixedSourcePort(EntryOf(image)));
    image[4] = 0x40;   // UDP client
    EXPECT_TRUE(HasFixedSourcePort(EntryOf(image)));
    image[4] = 0x10;   // TCP server
    EXPECT_FALSE(HasFixedSourcePort(EntryOf(image)));
    image[4] = 0x20;
    image[0] = PROTOCOL_ANALOGUE_MASTER;
    EXPECT_FALSE(HasFixedSourcePort(EntryOf(image)));
    image[0] = PROTOCOL_HOST_MASTER;
    image[3] = 0x00;
    EXPECT_FALSE(HasFixedSourcePort(EntryOf(image)));
}

TEST(NodeFields, CopyFieldTakesOnlyTheFieldsBitsAsTheyAre)
{
    NodeImage fromImage = FilledImage(0);
    fromImage[12] = 0xC0, fromImage[13] = 0xE1;   // port word 0xE1C0: modem mode 14
    fromImage[366] = 0x12, fromImage[367] = 0x34;
    const NodeEntry from = EntryOf(fromImage);

    NodeEntry to = EntryOf(FilledImage(0x5A));
    CopyField(to, from, kModemMode);   // bits 12..15 of the port word
    NodeImage expected = FilledImage(0x5A);
    expected[13] = 0xEA;
    EXPECT_EQ(Differences(ImageOf(to), expected), "");

    CopyField(to, from, kClientSourcePort);   // bytes 366..367
    expected[366] = 0x12, expected[367] = 0x34;
    EXPECT_EQ(Differences(ImageOf(to), expected), "");
}
