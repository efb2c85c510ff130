#pragma once
// Turns the port settings into a raw termios configuration.

#include <termios.h>

#include "gps/port_settings.h"

namespace trakomer {

// The termios speed constant for a baud rate, or B0 when the rate has none.
speed_t SpeedConstant(int baudRate);

// The baud rate a termios speed constant stands for, or 0.
int BaudRateOf(speed_t speed);

// Raw mode, the speed, character size, parity and stop bits, receiver on,
// modem lines ignored, no flow control, reads returning at once with what
// has arrived. False when a setting has no termios equivalent.
bool ConfigureTermios(termios& tio, int baudRate, int parity, int dataBits, int stopBits);

}  // namespace trakomer
