#pragma once

namespace tesslow {

class ScsiCommand;

// Ejects the disc through `drive`: stop the disc, allow removal, eject without
// waiting, eject waiting for completion. The stop and the first eject are sent
// again every 333 ms while the drive answers "operation in progress"
// (02/04/07), for at most about 30 s so that a drive stuck in that state
// cannot hang the caller. Reports nothing; runs on the calling thread.
void Eject(ScsiCommand& drive);

}  // namespace tesslow
