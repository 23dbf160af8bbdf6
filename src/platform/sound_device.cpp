// SPDX-License-Identifier: MIT
#include "platform/sound_device.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QString>

#include "platform/sound_player.h"
#include "platform/wave_file.h"

namespace {

// Where the module may be: the build tree's own (when it has tests to run) first, then the
// installed one beside the program's folder.
QStringList ModuleDirectories() {
  QStringList directories;
#ifdef VEXMIRA_BUILD_MODULE_DIR
  directories << QStringLiteral(VEXMIRA_BUILD_MODULE_DIR);
#endif
  directories << QCoreApplication::applicationDirPath() + QStringLiteral("/" VEXMIRA_MODULE_DIR_FROM_BINDIR);
  return directories;
}

// Loaded once and kept to the end: players made by it may live until then.
NewSoundPlayerFunction SoundModule() {
  static const NewSoundPlayerFunction entry = [] {
    QString reasons;
    for (const QString& directory : ModuleDirectories()) {
      QLibrary module(directory + QStringLiteral("/lib") + QLatin1String(kSoundModuleName));
      if (auto found = reinterpret_cast<NewSoundPlayerFunction>(module.resolve(kNewSoundPlayerSymbol))) return found;
      reasons += QStringLiteral("\n") + module.errorString();
    }
    throw SoundDeviceError("The sound cannot be played: its module could not be loaded." + reasons.toStdString());
  }();
  return entry;
}

}  // namespace

SoundDevice::SoundDevice() = default;
SoundDevice::~SoundDevice() = default;

void SoundDevice::Open(const std::string& fileName) {
  Close();
  CheckWaveFile(fileName);
  player_.reset(SoundModule()(QString::fromStdString(fileName).toUtf8().constData()));
  fileName_ = fileName;
}

void SoundDevice::Play() {
  if (player_) player_->Play();
}

void SoundDevice::Close() {
  player_.reset();
  fileName_.clear();
}
