#pragma once

#include <string>

namespace tesslow {

class DiscRecords;

// Decides whether the drive `driveKey` holds a usable audio disc, with a drive
// object of its own that it opens and closes: the device must be a CD/DVD
// device (INQUIRY type 5); the current profile must be CD-ROM, CD-R or CD-RW
// (a drive without GET CONFIGURATION is asked READ DISC INFORMATION instead,
// and for a pressed disc READ TOC); the disc must be incomplete or complete,
// not empty; the whole TOC must be readable; and some track must be audio.
//
// Clears the record's has-audio flag once the device answered as a CD/DVD
// device; after reading a whole TOC it stores it, the track list and the
// lead-out in the record and sets has-audio. The record's album is left
// alone (the title look-up replaces it). Never reports an error: any failed
// command or unwanted answer means "no usable audio disc".
bool ProbeDisc(DiscRecords& records, const std::string& driveKey);

}  // namespace tesslow
