#pragma once
// Opening a D-Bus connection for the small desktop calls.

#include <string>

struct sd_bus;

namespace trakomer {

enum class BusKind { Session, System };

// A started connection to `address`, or to the usual bus of that kind when
// the address is empty; null when it cannot be had. Calls on it time out
// after two seconds.
sd_bus* OpenBus(BusKind kind, const std::string& address);

// Whether a service owns `name` on the bus now (asked first so that a call
// never starts a stopped service through bus activation).
bool ServiceRunning(sd_bus* bus, const char* name);

}  // namespace trakomer
