// How long the USB backend waits for the adapter. Every transfer is one
// blocking call: when the adapter does not take or send its bytes within
// this time, the transfer counts as failed and the operation stops.
#pragma once

#include <chrono>

namespace mcb {

// 5 seconds unless changed: generous, so that a slow adapter never turns a
// good transfer into a failure. Tests of an adapter that has stopped
// answering shorten it rather than wait that long for each transfer. Applies
// to the transfers that follow, on an open adapter too; a zero or negative
// time restores the default.
void setUsbTimeout(std::chrono::milliseconds timeout);
std::chrono::milliseconds usbTimeout();

} // namespace mcb
