#pragma once

#include "app/rip_job.h"

#include <cstdint>

namespace tesslow {

struct Settings;

// What the stored settings choose for a rip where a front end leaves a choice
// open: the planner builds jobs from them, and the wizard's pages show them
// before the person changes anything. Plain functions of the settings; any
// thread.

// LastFormat; MP3 for a stored code that names no format.
FormatCode StoredFormat(const Settings& settings);

// LastPreset; Medium for a stored value beyond Custom.
QualityPreset StoredPreset(const Settings& settings);

// The format's stored slider position (LastMP3Value, LastWMAValue or
// LastOGGValue), as stored: the format's table clamps it. 0 for a format
// without steps.
std::uint32_t StoredStep(const Settings& settings, FormatCode format);

}  // namespace tesslow
