#pragma once

namespace tqdt::net {

// What a recording left running on a site box needs from the operating system, kept in one
// platform file.

// Asks the system to put everything written to the open file on the disk. False when it cannot.
bool SyncToDisk(int fileHandle);

// From now on SIGINT, SIGTERM and SIGHUP (Ctrl+C and Ctrl+Break where there are no such signals)
// no longer end the program: they are only noted, and the recording ends at its next step with
// everything written.
void CatchStopSignals();
// The name of the first stop signal that came ("SIGTERM"), or nullptr while none has.
const char* StopSignalName();

} // namespace tqdt::net
