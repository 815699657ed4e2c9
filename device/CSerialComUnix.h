// One POSIX serial device in raw mode, 8 data bits, no parity, 1 stop bit,
// with non-blocking single-call reads and writes. Pacing is the caller's.
#pragma once

#include <wx/string.h>

class CSerialComUnix
{
public:
    CSerialComUnix() = default;
    virtual ~CSerialComUnix();

    CSerialComUnix(const CSerialComUnix&) = delete;
    CSerialComUnix& operator=(const CSerialComUnix&) = delete;

    // 1 when open, -1 when the device could not be opened. The line is
    // always 8N1: dataBits and stopBits are accepted for the callers' sake
    // only. A speed the port does not offer becomes 9600.
    int Open(const wxString& path, int speed, int dataBits, int stopBits);
    // False when nothing was open.
    bool Close();
    // What one write() call wrote (may be -1); 0 when closed.
    int Write(const void* data, int length);
    // What one read() call read; 0 when nothing is waiting or when closed,
    // -1 on error.
    int Read(void* buffer, int capacity);
    bool IsOpen() const { return m_fd != -1; }
    // Whether the path opens at all; leaves a port held by this object alone.
    bool Exists(const wxString& path) const;

    // The bits per second a requested speed is opened at.
    static int EffectiveSpeed(int speed);

private:
    void DropModemLines();

    int m_fd = -1;
};
