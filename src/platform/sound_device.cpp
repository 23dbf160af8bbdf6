// SPDX-License-Identifier: MIT
#include "platform/sound_device.h"

#include <QSoundEffect>
#include <QString>
#include <QUrl>

#include "platform/wave_file.h"

SoundDevice::SoundDevice() = default;
SoundDevice::~SoundDevice() = default;

void SoundDevice::Open(const std::string& fileName) {
  Close();
  CheckWaveFile(fileName);
  auto effect = std::make_unique<QSoundEffect>();
  effect->setSource(QUrl::fromLocalFile(QString::fromStdString(fileName)));
  effect_ = std::move(effect);
  fileName_ = fileName;
}

// The effect loads the file in the background and starts once it has; without an audio output
// it only records an error status, which nobody asks for.
void SoundDevice::Play() {
  if (effect_) effect_->play();
}

void SoundDevice::Close() {
  effect_.reset();
  fileName_.clear();
}
