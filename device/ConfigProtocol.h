// The device link: the command protocol to a device over TCP or a serial
// line. The configuration document derives from it.
#pragma once

#include "config/ConfigLayout.h"
#include "device/CSerialComUnix.h"

#include <wx/socket.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

// Asked before a configuration is written in a form that loses data;
// true lets the write go ahead. A caller with no way to ask passes none,
// which declines.
using ConfirmLossyWrite = std::function<bool()>;

// How long the link waits. The defaults are what devices expect; tests and
// fuzzing shorten them so that silence costs milliseconds, not seconds.
struct LinkTiming {
    int tcpPollMs = 5000;        // silence that ends an attempt over TCP
    int serialPollMs = 500;      // pause before each serial read
    int afterConnectMs = 100;    // settle time after a TCP connect
    int reconnectPauseMs = 1000; // pause before the second connect
    int afterSendMs = 10;        // pause after a TCP send
    int serialSettleMs = 100;    // pause before stale serial input is dropped
};

// Follows a device command for whoever started it: each step as it begins,
// and whether the user wants the command stopped.
class LinkWatcher
{
public:
    virtual ~LinkWatcher() = default;
    // A step begins. `text` says which, for a status line ("Requesting
    // configuration: node 3 of 6..."). `cancellable` is false once the
    // command can no longer be stopped: the end of a write has been sent.
    virtual void OnStep(const wxString& text, bool cancellable) = 0;
    // Asked before every step and at least every kCancelCheckMs while the
    // link waits; true stops the command.
    virtual bool IsCancelRequested() = 0;
};

class ConfigProtocol : public wxSocketClient
{
public:
    // Every exchange uses a reply buffer of this size.
    static constexpr uint16_t kReplyBufferSize = 1024;
    static constexpr size_t kClockFrameSize = 18;
    // The longest a wait runs before the link asks whether to stop.
    static constexpr int kCancelCheckMs = 50;

    ConfigProtocol();
    ~ConfigProtocol() override;

    ConfigProtocol(const ConfigProtocol&) = delete;
    ConfigProtocol& operator=(const ConfigProtocol&) = delete;

    // --- Link. useTcp: true for TCP to target:portOrSpeed, false for the
    // serial device target at portOrSpeed bits per second.
    bool PortExists(const wxString& path) const;
    void SetLinkTiming(const LinkTiming& timing) { m_timing = timing; }
    const LinkTiming& GetLinkTiming() const { return m_timing; }
    // The watcher of the commands that follow; nullptr for none. The caller
    // keeps it alive while it is set.
    void SetLinkWatcher(LinkWatcher* watcher) { m_watcher = watcher; }
    // True when the last command ended because its watcher asked it to
    // stop. A cancelled read changes nothing; a cancelled write never sent
    // its end.
    bool WasCancelled() const { return m_cancelled; }
    // True when the last transfer spoke protocol 1.0 and its older format.
    bool LastTransferWasLegacy() const { return m_legacyTransfer; }
    bool OpenLink(bool useTcp, const wxString& target, int portOrSpeed);
    bool CloseLink(bool useTcp);

    // Sends one command and waits for a line beginning with `expected`.
    // > 0: the line matched, its length with terminator (the reply holds
    //      it, unescaped, not NUL-terminated).
    // 0:   no usable reply, link not open, send failed or attempts 0.
    // < 0: the device's "Error: " line, NUL-terminated in `reply`, minus
    //      its length.
    int16_t Transact(bool useTcp, const uint8_t* command, uint16_t commandLength, const char* expected,
                     uint8_t* reply, uint16_t replySize, uint8_t attempts);

    // --- Commands. Each opens and closes the link itself, except
    // GetProtocolVersion, which runs on an open link. `error` is left as it
    // was when the link cannot be opened or on success.
    bool GetDeviceId(bool useTcp, const wxString& target, int portOrSpeed, wxString& identity, wxString& error);
    bool GetProtocolVersion(bool useTcp, uint8_t& major, uint8_t& minor, wxString& error);
    // Sets the device clock to the computer's local time.
    bool SetDeviceClock(bool useTcp, const wxString& target, int portOrSpeed, wxString& error);
    bool SetDeviceClock(bool useTcp, const wxString& target, int portOrSpeed, const std::tm& localTime,
                        wxString& error);
    bool RebootDevice(bool useTcp, const wxString& target, int portOrSpeed, wxString& error);

    // --- Configuration transfer in protocol version 1.1 or 1.0, whichever
    // the device speaks. ReadConfig changes `main` and `ip` only when it
    // succeeds. WriteConfig may lower the node count of `main` to 6.
    // `commandName` leads the watcher's step texts.
    bool ReadConfig(bool useTcp, const wxString& target, int portOrSpeed, MainBlock& main, IpBlock& ip,
                    wxString& error, const char* commandName = "Requesting configuration");
    bool WriteConfig(bool useTcp, const wxString& target, int portOrSpeed, MainBlock& main, const IpBlock& ip,
                     wxString& error, const ConfirmLossyWrite& confirmLoss = {});

private:
    bool ReadConfigSegmented(bool useTcp, MainBlock& main, IpBlock& ip, wxString& error);
    bool WriteConfigSegmented(bool useTcp, MainBlock& main, const IpBlock& ip, wxString& error);
    bool ReadConfigLegacy(bool useTcp, MainBlock& main, IpBlock& ip, wxString& error);
    bool WriteConfigLegacy(bool useTcp, const MainBlock& main, const IpBlock& ip, wxString& error,
                           const ConfirmLossyWrite& confirmLoss);

    // Opens the link, asks the protocol version and runs the transfer for
    // it; any other version is refused.
    bool RunTransfer(bool useTcp, const wxString& target, int portOrSpeed, wxString& error,
                     const std::function<bool()>& legacy, const std::function<bool()>& segmented);
    static wxString UnsupportedVersionText(uint8_t major, uint8_t minor);
    // One transfer step: sends `frame`, awaits `expected` and copies the
    // `payloadLength` bytes that follow it; a line too short to hold them
    // fails the step.
    bool ReadPiece(bool useTcp, const std::vector<uint8_t>& frame, const std::string& expected, void* payload,
                   size_t payloadLength, wxString& error);
    bool WritePiece(bool useTcp, const std::vector<uint8_t>& frame, const std::string& expected, wxString& error);

    // Runs one command that either succeeds or ends the operation with the
    // error text for its result. On success `length` is the reply's length.
    bool Exchange(bool useTcp, const uint8_t* command, uint16_t commandLength, const char* expected,
                  uint8_t* reply, uint8_t attempts, wxString& error, int16_t* length = nullptr);
    // Opens the link, runs `exchange`, closes the link. False without an
    // error text when the link does not open.
    bool WithLink(bool useTcp, const wxString& target, int portOrSpeed, const std::function<bool()>& exchange);

    // The NUL-terminated error line that Transact left in a reply buffer.
    static wxString ErrorLineText(const uint8_t* reply);

    // A command begins: names it for the watcher's step texts and forgets
    // an earlier command's cancel.
    void BeginCommand(const char* name);
    // A step of the command begins; an empty `step` is the command itself.
    void BeginStep(const wxString& step);
    // From here on the command cannot be stopped.
    void EndCancellableSteps();
    // Before the step that ends a write: false, with the cancelled text,
    // when the command was asked to stop; otherwise the rest of the
    // command can no longer be stopped.
    bool StopUnlessCancelled(wxString& error);
    void TellWatcher(const wxString& suffix);
    // True (and remembered) when the watcher asks to stop and the command
    // still can be.
    bool CheckCancel();
    // Waits `ms` milliseconds; false when the command was stopped meanwhile.
    bool Pause(int ms);
    bool ConnectTcp(const wxIPV4address& address);

    bool SendFrame(bool useTcp, const uint8_t* frame, size_t length);
    // One read of up to `capacity` bytes; false when this attempt is over.
    bool PollChunk(bool useTcp, uint8_t* chunk, size_t capacity, size_t& got);

    CSerialComUnix m_serial;
    LinkTiming m_timing;
    LinkWatcher* m_watcher = nullptr;
    const char* m_commandName = "";
    wxString m_step;
    bool m_cancellable = true;
    bool m_cancelled = false;
    bool m_legacyTransfer = false;
};

// The text shown when the device gives no usable answer.
extern const char* const kNoResponseText;
// The error text of a command its watcher stopped.
extern const char* const kCancelledText;
