#pragma once

namespace vgx {

// True when the arguments ask for the service copy ("--service").
bool IsServiceStart(int argc, char** argv);

// Replaces this process with the daemon `daemonName` from the folder of this executable, with
// the same pid and the same arguments, so that units written for "vigiax --service" keep
// working. Returns only when it cannot: it has then said why on the standard error and in the
// system log, and the result is the exit code.
int HandOverToDaemon(int argc, char** argv, const char* daemonName);

}  // namespace vgx
