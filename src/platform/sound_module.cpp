// SPDX-License-Identifier: MIT
// The sound module: the new-mail sound through Qt Multimedia, loaded by the program at its first
// sound.

#include <QSoundEffect>
#include <QString>
#include <QUrl>

#include "platform/sound_player.h"

namespace {

// The effect loads the file in the background and starts once it has; without an audio output
// it only records an error status, which nobody asks for.
class EffectPlayer : public SoundPlayer {
 public:
  explicit EffectPlayer(const char* fileName) { effect_.setSource(QUrl::fromLocalFile(QString::fromUtf8(fileName))); }
  void Play() override { effect_.play(); }

 private:
  QSoundEffect effect_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) SoundPlayer* VexmiraNewSoundPlayer(const char* fileName) {
  return new EffectPlayer(fileName);
}
