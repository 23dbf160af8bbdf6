// SPDX-License-Identifier: MIT
#pragma once
// What the sound module (libvexmira-sound.so, over Qt Multimedia) gives the program. The module
// is loaded at the first sound, so that the audio stack costs nothing to a start that plays
// none.

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts from the beginning and returns at once.
  virtual void Play() = 0;
};

// The module's one entry: a player for the WAVE file at `fileName` (already checked).
using NewSoundPlayerFunction = SoundPlayer* (*)(const char* fileName);
inline constexpr const char* kNewSoundPlayerSymbol = "VexmiraNewSoundPlayer";
inline constexpr const char* kSoundModuleName = "vexmira-sound";
