// Link waits for in-process tests whose subject is not the link's own
// pacing (ConfigProtocol::SetLinkTiming). The simulator and the scripted
// peers answer within milliseconds; the waits keep room for a machine busy
// with a parallel test run. TCP keeps its 5-second wait for silence: tests
// that meet silence over TCP are about it, and a protocol 1.0 simulator ends
// its "Unknown command" attempts at once (qst-devsim --quick-unknown).
#pragma once

#include "device/ConfigProtocol.h"

inline LinkTiming QuickLinkTiming()
{
    LinkTiming timing;
    timing.serialPollMs = 250;   // a serial reply is read 250 ms after the command, not 500
    timing.serialSettleMs = 20;  // before stale serial input is dropped
    timing.afterConnectMs = 0;
    timing.reconnectPauseMs = 100;
    return timing;
}
