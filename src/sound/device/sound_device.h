#pragma once

#include <memory>

#include "sound/sound_output.h"

class Clock;

// The sound card when there is one; otherwise (no device, device busy, a machine without sound)
// a silent output that keeps exactly the same timing on `clock`, after one German line on
// standard error. Never fails. Destroying the returned output fades out what sounds and closes
// the device, which is the clean way out at program exit.
std::unique_ptr<SoundOutput> OpenSoundOutput(Clock& clock);

// At exit: one German line on standard error with the number of underruns and the latency in
// use, when the device had any, so that a user can report them.
void ReportUnderruns(const SoundOutput& output);
