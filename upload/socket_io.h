#pragma once
// Blocking-looking socket steps on non-blocking POSIX sockets. Every wait is
// bounded by a time-out and sliced into short polls; between slices a pump
// callback runs so that a window can keep processing its events.

#include <sys/socket.h>

#include <cstddef>
#include <functional>
#include <string>

namespace trakomer::upload {

using Pump = std::function<void()>;

// How long one poll slice lasts before the pump runs again.
constexpr int kPumpIntervalMs = 20;

enum class WaitResult { Ready, TimedOut, Failed };

// Waits until fd reports one of events (POLLIN, POLLOUT) or timeoutMs passes.
WaitResult WaitForSocket(int fd, short events, int timeoutMs, const Pump& pump);

// Sleeps for ms milliseconds while running the pump.
void PauseWithPump(int ms, const Pump& pump);

// A non-blocking, close-on-exec stream socket of the family; -1 on failure.
int OpenStreamSocket(int family);

// Closes fd when it is open and sets it to -1.
void CloseSocket(int& fd);

// Resolves host and connects to port within the time-out, trying each
// address in turn. Returns the connected socket or -1.
int ConnectTo(const std::string& host, int port, int timeoutMs, const Pump& pump);

// Sends all bytes within the time-out (per wait). False when the peer is gone,
// a send fails, or the socket does not become writable in time. Never raises
// SIGPIPE.
bool SendAll(int fd, const char* data, size_t size, int timeoutMs, const Pump& pump);

enum class ReadResult { Byte, Closed, TimedOut, Failed };

// Waits, after a read found nothing yet, for the events the reader needs:
// Byte when it may read again, else TimedOut or Failed.
ReadResult WaitToReadAgain(int fd, short events, int timeoutMs, const Pump& pump);

// Reads one byte within the time-out.
ReadResult ReadByte(int fd, char& byte, int timeoutMs, const Pump& pump);

// Accepts one connection on a listening socket within the time-out; -1 when
// none arrived or accept failed. The accepted socket is non-blocking.
int AcceptWithin(int listenFd, int timeoutMs, const Pump& pump);

}  // namespace trakomer::upload
