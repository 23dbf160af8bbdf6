// SPDX-License-Identifier: MIT
// The check a sound file passes before the player gets it.
#pragma once

#include <string>

// Returns when `fileName` is a RIFF/WAVE file with a format chunk the player can decode (PCM or
// floating-point samples) followed by a data chunk. Otherwise throws SoundDeviceError with a text
// for a missing file, an unreadable one, or one that is not a playable WAVE file.
void CheckWaveFile(const std::string& fileName);
