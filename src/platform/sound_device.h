// SPDX-License-Identifier: MIT
// The media device that plays the new-mail sound: one WAVE file open at a time, played in the
// background while the program goes on.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

class SoundPlayer;

// A sound file that cannot be opened; the message names the file and the reason.
class SoundDeviceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SoundDevice {
 public:
  SoundDevice();
  SoundDevice(const SoundDevice&) = delete;
  SoundDevice& operator=(const SoundDevice&) = delete;
  ~SoundDevice();

  // Closes the device that is open, then opens `fileName`. Throws SoundDeviceError when the file
  // is missing, unreadable or not a playable WAVE file, or the sound module cannot be loaded;
  // nothing is open then.
  void Open(const std::string& fileName);
  // Starts playback from the beginning and returns at once. A failure to play (nothing open, no
  // audio output) is kept by the player and not reported.
  void Play();
  void Close();

  bool IsOpen() const { return player_ != nullptr; }
  const std::string& FileName() const { return fileName_; }

 private:
  std::unique_ptr<SoundPlayer> player_;
  std::string fileName_;
};
