#pragma once

#include "app/drive_profile.h"

namespace tesslow {

class ScsiCommand;

// The drive's model from its INQUIRY answer (vendor bytes 8-15, product
// 16-31, revision 32-35), with the padding and anything unprintable left out;
// an unknown model when the drive does not answer.
DriveModel InquireDriveModel(ScsiCommand& drive);

// Whether the disc in the drive is a CD-R or CD-RW (GET CONFIGURATION's
// current profile); false when the drive does not say.
bool RecordableDiscIn(ScsiCommand& drive);

}  // namespace tesslow
