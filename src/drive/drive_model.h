#pragma once

#include "app/drive_profile.h"

namespace tesslow {

class ScsiCommand;

// The drive's model from its INQUIRY answer (vendor bytes 8-15, product
// 16-31), with the padding and anything unprintable left out; an unknown
// model when the drive does not answer.
DriveModel InquireDriveModel(ScsiCommand& drive);

}  // namespace tesslow
