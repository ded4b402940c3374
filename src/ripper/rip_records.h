#pragma once

#include "ripper/rip_log.h"

#include <string>
#include <vector>

namespace tesslow {

// Writes what a rip leaves beside its files, in the output folder
// (input.folder): the rip log (RipLogText) when `writeLog`, and, when
// `writeCue` and the rip was not canceled, the CUE sheet of the tracks whose
// files landed (CueSheetText). Both are named after the disc, "<artist> -
// <album>" by the naming rules ("Tesslow rip <date and time>" for a disc
// without titles), with ".log" and ".cue"; an earlier rip's files of that
// name are kept and the new ones get " (2)" and on. Each lands whole or not
// at all (PartialFile). Answers an error line for each that could not be
// written ("<name>: could not be written (<reason>)").
std::vector<std::string> WriteRipRecords(const RipLogInput& input, bool writeLog, bool writeCue);

}  // namespace tesslow
