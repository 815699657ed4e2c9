// The named fields of a node's protocol and port parameter blocks: which bits
// of which word, which bytes of the extra area, and how a value is coded in
// them. The node editor panels and the configuration report both go through
// these descriptors, so a field is defined once.
#pragma once

#include "config/ConfigLayout.h"

#include <wx/string.h>

#include <array>
#include <cstdint>

namespace NodeFields {

// Where a field lives in the node entry.
enum class Place : uint8_t {
    ProtocolWord,   // bits of `protocolWord`
    PortCode,       // bits of `portCode`
    PortNumber,     // bits of `portNumber` (the modem keeps two byte counts there)
    PortWord,       // bits of `portWord`
    Extra8,         // one byte of `protocolExtra`
    Extra16Le,      // two bytes of `protocolExtra`, low byte first
    Extra16Be,      // two bytes of `protocolExtra`, high byte first
};

// How a value is coded in the field's bits.
enum class Coding : uint8_t {
    Plain,          // unsigned number
    Signed,         // two's complement
    TensTruncated,  // milliseconds kept in tens, value / 10
    TensRounded,    // milliseconds kept in tens, (value + 5) / 10
};

struct Field {
    Place place;
    // Word places: first bit and bit count. Extra places: node offset of
    // the (first) byte; the width follows from the place.
    uint16_t first;
    uint8_t bits;
    Coding coding = Coding::Plain;
};

// A three-way choice kept in two bits: 0 = neither, 1 = bit A, 2 = bit B.
// Bit A wins when both are set. The no-data choice and the NRZ choices.
struct BitPair {
    Field a;
    Field b;
};

constexpr Field WordBits(Place word, uint8_t first, uint8_t bits, Coding coding = Coding::Plain)
{
    return Field{word, first, bits, coding};
}
constexpr Field ProtocolBit(uint8_t bit) { return Field{Place::ProtocolWord, bit, 1}; }
constexpr Field PortWordBit(uint8_t bit) { return Field{Place::PortWord, bit, 1}; }
constexpr BitPair ProtocolPair(uint8_t a, uint8_t b) { return BitPair{ProtocolBit(a), ProtocolBit(b)}; }
constexpr BitPair PortWordPair(uint8_t a, uint8_t b) { return BitPair{PortWordBit(a), PortWordBit(b)}; }

// Decoded value: milliseconds for tens codings, signed for Signed.
int GetValue(const NodeEntry& node, const Field& field);
// Stores the value held to what the field can represent: nothing wraps.
void SetValue(NodeEntry& node, const Field& field, int value);
bool GetFlag(const NodeEntry& node, const Field& field);
void SetFlag(NodeEntry& node, const Field& field, bool on);
// Smallest and largest decoded values the field holds.
int MinValue(const Field& field);
int MaxValue(const Field& field);

unsigned GetChoice(const NodeEntry& node, const BitPair& pair);
void SetChoice(NodeEntry& node, const BitPair& pair, unsigned choice);

// Copies the field's bits exactly as another entry holds them, whether or
// not a control could show them.
void CopyField(NodeEntry& to, const NodeEntry& from, const Field& field);

// ---- Protocol parameter block ------------------------------------------

// No-data choice items (the bit-pair choice values).
enum NoData : unsigned { NODATA_NOTHING = 0, NODATA_ZEROS = 1, NODATA_LAST_KNOWN = 2 };
// NRZ choice items, for the S2 framing and both bit-synchronous ports.
enum Nrz : unsigned { NRZ_NONE = 0, NRZ_S = 1, NRZ_I = 2 };
// Names of the no-data and NRZ choices by value, as the report and the
// panels' NRZ lists give them.
constexpr std::array<const char*, 3> kNoDataNames{{"Don't send anything", "Send all 0s", "Send last known"}};
constexpr std::array<const char*, 3> kNrzNames{{"No NRZ", "NRZs", "NRZi"}};

// Control: the message level is the whole word when stored, bits 0..3 when read.
constexpr Field kControlWord = WordBits(Place::ProtocolWord, 0, 16);
constexpr Field kControlLevel = WordBits(Place::ProtocolWord, 0, 4);
constexpr int kControlLevelMax = 5;
constexpr int kControlLevelDefault = 2;
constexpr std::array<const char*, 6> kMonitorLevelNames{
    {"Off", "Important", "Normal", "Detailed", "Debugging", "Everything"}};

// IO Master, UCE Master, UCE Slave.
constexpr BitPair kIoNoData = ProtocolPair(0, 1);

// S2 Master and S2 Slave framing.
constexpr Field kS2StartFlags = WordBits(Place::ProtocolWord, 0, 4);
constexpr Field kS2EndFlags = WordBits(Place::ProtocolWord, 4, 4);
constexpr Field kS2ExtraByte = ProtocolBit(8);
constexpr BitPair kS2Nrz = ProtocolPair(9, 10);
constexpr Field kS2NoBitStuffing = ProtocolBit(11);
constexpr BitPair kS2NoData = ProtocolPair(12, 13);
constexpr Field kS2SlavePrefixBit = ProtocolBit(14);
constexpr Field kS2MasterPollMs = Field{Place::Extra8, 365, 8, Coding::TensTruncated};

// Genisys Master and Genisys Slave.
constexpr Field kGenisysSecurePolls = ProtocolBit(0);
constexpr Field kGenisysCheckback = ProtocolBit(1);
constexpr BitPair kGenisysNoData = ProtocolPair(2, 3);
constexpr Field kGenisysSecureInverse = ProtocolBit(4);
constexpr std::array<const char*, 2> kSecureBitNames{{"Secure poll bit normal", "Secure poll bit inverse"}};
constexpr Field kGenisysMasterPollMs = WordBits(Place::ProtocolWord, 8, 8, Coding::TensRounded);

// Host Master and Host Slave.
constexpr Field kHostLoopNumber = WordBits(Place::ProtocolWord, 0, 8);
constexpr BitPair kHostNoData = ProtocolPair(8, 9);
constexpr Field kHostSendScf = ProtocolBit(10);
constexpr Field kHostStoreScf = ProtocolBit(11);   // "extended" on the slave
constexpr Field kHostSlavePollMs = Field{Place::Extra8, 365, 8, Coding::TensRounded};

// NTP Client: the two fields fill the whole word.
constexpr Field kNtpTimeZone = WordBits(Place::ProtocolWord, 0, 8, Coding::Signed);
constexpr Field kNtpIntervalHours = WordBits(Place::ProtocolWord, 8, 8);

// Null: the fill byte, the offset flag and the unused bits fill the whole word.
constexpr Field kNullFill = WordBits(Place::ProtocolWord, 0, 8);
constexpr Field kNullUseOffset = ProtocolBit(8);
constexpr Field kNullUnused = WordBits(Place::ProtocolWord, 9, 7);

// Analogue/Audio Master.
constexpr unsigned kAnalogueChannels = 4;
constexpr BitPair kAnalogueNoData = ProtocolPair(0, 1);
constexpr Field kAnalogueTriggersMode = ProtocolBit(2);   // set = "Triggers", clear = "Readings"
constexpr Field kAnalogueActiveLow = ProtocolBit(7);
// Set = voltage input, clear = current input.
constexpr Field AnalogueVoltage(unsigned channel) { return ProtocolBit(uint8_t(12 + channel)); }
constexpr Field AnalogueHigh(unsigned channel) { return Field{Place::Extra16Le, uint16_t(366 + 4 * channel), 16}; }
constexpr Field AnalogueLow(unsigned channel) { return Field{Place::Extra16Le, uint16_t(368 + 4 * channel), 16}; }
constexpr int kAnalogueVoltageMax = 44000;
constexpr int kAnalogueCurrentMax = 20000;
// The Low spin's range before a type is applied to it.
constexpr int kAnalogueLowInitialMax = 40000;
constexpr int kAnalogueHighDefault = 20000;
constexpr int kAnalogueLowDefault = 5000;
inline const char* AnalogueUnit(bool voltage) { return voltage ? "mV" : "uA"; }

// Null fill text: read as a hexadecimal number from at most its first 32
// characters. A text that is no number stores 0; a number above FF is held
// at FF, and the result says so, so the caller can tell the user.
enum class FillParse { Byte, NotHex, AboveFF };
struct FillResult {
    FillParse status;
    uint8_t byte;
};
FillResult ParseFillText(const wxString& text);
wxString FillText(uint8_t byte);

// ---- Port parameter block -----------------------------------------------

constexpr Field kPortType = WordBits(Place::PortCode, kPortTypeFirstBit, kPortTypeBits);

// TCP and UDP server: the listen port; TCP and UDP client: the server port.
constexpr Field kIpPort = WordBits(Place::PortNumber, 0, 16);

// TCP and UDP client: the source-port flag (bits 0..3 are cleared whenever
// the client stores) and the fixed source port, high byte first.
constexpr Field kClientPortCodeBits = WordBits(Place::PortCode, 0, 4);
constexpr Field kClientFixedSourcePort = Field{Place::PortCode, 0, 1};
constexpr Field kClientUnusedBits = WordBits(Place::PortCode, 1, 3);
constexpr Field kClientSourcePort = Field{Place::Extra16Be, 366, 16};
// The source port shares its bytes with the Analogue/Audio Master's first
// trigger, which wins: a client running that protocol has no fixed source port.
bool SourcePortAllowed(uint8_t protocol);
bool HasFixedSourcePort(const NodeEntry& node);

// Server address text, read as four numbers of up to three digits.
struct ServerAddress {
    bool complete = false;   // four numbers were read
    bool valid = false;      // ... and each lies in 0..255
    std::array<uint8_t, 4> bytes{};   // low bytes of the numbers
};
ServerAddress ParseServerAddress(const wxString& text);
wxString ServerAddressText(const NodeEntry& node);
// Stores the address when all four numbers were read; false leaves it.
bool StoreServerAddress(NodeEntry& node, const wxString& text);

// Asynchronous and synchronous serial: the COM index and the speed code.
constexpr Field kComIndex = WordBits(Place::PortNumber, 0, 16);
constexpr std::array<const char*, 4> kComNames{{"COM1", "COM2", "COM3", "COM4"}};
struct SpeedCode {
    uint8_t code;
    unsigned baud;
    const char* text;
};
constexpr std::array<SpeedCode, 12> kSpeedCodes{{
    {1, 600, "600"}, {2, 1200, "1200"}, {4, 2400, "2400"}, {8, 4800, "4800"},
    {16, 9600, "9600"}, {24, 14400, "14400"}, {32, 19200, "19200"}, {48, 28800, "28800"},
    {64, 38400, "38400"}, {93, 56000, "56000"}, {96, 57600, "57600"}, {192, 115200, "115200"},
}};
// What an index outside the table stores.
constexpr uint8_t kSpeedCodeFallback = 4;
// Index of a code in the table, or -1.
int SpeedIndexOf(uint8_t code);
uint8_t SpeedCodeAt(int index);
// Bits per second of any code: code x 600, except 93.
unsigned BaudOf(uint8_t code);

// Asynchronous serial: the whole port word.
constexpr Field kUartFormat = WordBits(Place::PortWord, 0, 4);
constexpr Field kUartHandshake = WordBits(Place::PortWord, 4, 4);
constexpr Field kUartUnused = WordBits(Place::PortWord, 8, 8);
constexpr std::array<const char*, 6> kUartFormatNames{{"8 N 1", "8 N 2", "8 E 1", "8 O 1", "7 E 1", "7 O 1"}};
constexpr std::array<const char*, 3> kHandshakeNames{{"None", "DTE", "DCE"}};

// Synchronous serial.
enum SyncClock : unsigned { SYNC_CLOCK_MASTER = 1, SYNC_CLOCK_SLAVE = 2, SYNC_CLOCK_NONE = 3 };
// The panel's clock modes, from SYNC_CLOCK_MASTER on.
constexpr std::array<const char*, 3> kSyncClockNames{{"Master (Clock Out)", "Slave (Clock In)", "No Clock"}};
constexpr Field kSyncClock = WordBits(Place::PortWord, 0, 4);
constexpr Field kSyncUseCts = PortWordBit(4);
constexpr BitPair kSyncNrz = PortWordPair(5, 6);
constexpr Field kSyncIdleFlags = PortWordBit(7);

// Modem. The pre- and postamble counts are node bytes 10 and 9, the two
// halves of `portNumber`.
constexpr Field kModemPttActiveHigh = PortWordBit(0);
constexpr Field kModemCarrier = PortWordBit(1);
constexpr BitPair kModemNrz = PortWordPair(3, 2);
constexpr Field kModemTxAttenuation = WordBits(Place::PortWord, 6, 3);
constexpr Field kModemRxAttenuation = WordBits(Place::PortWord, 9, 3);
constexpr Field kModemMode = WordBits(Place::PortWord, 12, 4);
constexpr Field kModemPostamble = WordBits(Place::PortNumber, 0, 8);
constexpr Field kModemPreamble = WordBits(Place::PortNumber, 8, 8);
constexpr unsigned kModemFirstMode = 2;
// Modem modes 2..15 by name; the panel offers 2..13.
constexpr std::array<const char*, 14> kModemModeNames{{
    "Bell202 FSK 150", "Bell202 FSK 1200", "V23 FSK 75", "V23 FSK 1200",
    "Bell103 300 FSK Lo", "Bell103 300 FSK Hi", "V21 300 FSK Lo", "V21 300 FSK Hi",
    "V22 600 DPSK Lo", "V22 600 DPSK Hi", "V22 1200 DPSK Lo", "V22 1200 DPSK Hi",
    "V22bis 2400 QAM Lo", "V22bis 2400 QAM Hi",
}};
constexpr unsigned kModemOfferedModes = 12;
// Attenuation steps 0..7 of both directions.
constexpr std::array<const char*, 8> kAttenuationNames{{
    "-10.5 dB", "-9.0 dB", "-7.5 dB", "-6.0 dB", "-4.5 dB", "-3.0 dB", "-1.5 dB", "0 dB",
}};

// SPI: the port page edits nothing; the device index sits where the other
// serial-type ports keep their COM index.
constexpr Field kSpiDeviceIndex = kComIndex;
constexpr std::array<const char*, 7> kSpiDeviceNames{
    {"No Device", "External 1", "External 2", "External 3", "External 4", "SD Card", "Modem"}};

} // namespace NodeFields
