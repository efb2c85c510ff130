#include "gps/port_termios.h"

namespace trakomer {

namespace {

struct SpeedEntry {
    int baud;
    speed_t speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},
    {150, B150},       {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool SetCharacterSize(termios& tio, int dataBits) {
    tio.c_cflag &= ~CSIZE;
    switch (dataBits) {
        case 5: tio.c_cflag |= CS5; return true;
        case 6: tio.c_cflag |= CS6; return true;
        case 7: tio.c_cflag |= CS7; return true;
        case 8: tio.c_cflag |= CS8; return true;
        default: return false;
    }
}

bool SetParity(termios& tio, int parity) {
    tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (parity) {
        case kParityNone: return true;
        case kParityOdd: tio.c_cflag |= PARENB | PARODD; return true;
        case kParityEven: tio.c_cflag |= PARENB; return true;
        case kParityMark: tio.c_cflag |= PARENB | CMSPAR | PARODD; return true;
        case kParitySpace: tio.c_cflag |= PARENB | CMSPAR; return true;
        default: return false;
    }
}

bool SetStopBits(termios& tio, int stopBits) {
    if (stopBits == kOneStopBit) {
        tio.c_cflag &= ~CSTOPB;
        return true;
    }
    if (stopBits == kTwoStopBits) {
        tio.c_cflag |= CSTOPB;
        return true;
    }
    return false;
}

}  // namespace

speed_t SpeedConstant(int baudRate) {
    for (const SpeedEntry& e : kSpeeds) {
        if (e.baud == baudRate) return e.speed;
    }
    return B0;
}

int BaudRateOf(speed_t speed) {
    for (const SpeedEntry& e : kSpeeds) {
        if (e.speed == speed) return e.baud;
    }
    return 0;
}

bool ConfigureTermios(termios& tio, int baudRate, int parity, int dataBits, int stopBits) {
    const speed_t speed = SpeedConstant(baudRate);
    if (speed == B0) return false;
    cfmakeraw(&tio);
    if (!SetCharacterSize(tio, dataBits) || !SetParity(tio, parity) ||
        !SetStopBits(tio, stopBits)) {
        return false;
    }
    tio.c_cflag |= CREAD | CLOCAL;
    tio.c_cflag &= ~CRTSCTS;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0;
}

}  // namespace trakomer
