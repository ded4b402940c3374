#include "drive/eject.h"

#include "drive/scsi_command.h"
#include "drive/scsi_status.h"

#include <chrono>
#include <thread>

namespace tesslow {

namespace {

constexpr auto kBusyPause = std::chrono::milliseconds(333);
constexpr int kMostBusyRetries = 90;  // about 30 s

// Sends START STOP UNIT (Immed) until the drive stops answering "operation in
// progress".
void RepeatWhileBusy(ScsiCommand& drive, bool loadEject)
{
    for (int retry = 0; drive.StartStopUnit(true, loadEject) == kSenseBecomingReady && retry < kMostBusyRetries;
         ++retry)
        std::this_thread::sleep_for(kBusyPause);
}

}  // namespace

void Eject(ScsiCommand& drive)
{
    RepeatWhileBusy(drive, false);
    (void)drive.AllowMediumRemoval();
    RepeatWhileBusy(drive, true);
    (void)drive.StartStopUnit(false, true);
}

}  // namespace tesslow
