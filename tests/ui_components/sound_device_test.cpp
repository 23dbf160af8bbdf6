// SPDX-License-Identifier: MIT
// The new-mail sound's device: which files it refuses, with what text, and that a good file
// opens and plays without holding the caller up, with or without an audio output.

#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <string>

#include "platform/sound_device.h"

namespace {

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string Chunk(const char* id, const std::string& body) {
  std::string chunk(id, 4);
  PutLe(chunk, static_cast<std::uint32_t>(body.size()), 4);
  chunk += body;
  if (body.size() % 2) chunk.push_back('\0');  // chunks are padded to an even length
  return chunk;
}

std::string FormatChunk(std::uint16_t formatTag) {
  std::string format;
  const std::uint32_t rate = 8000;
  PutLe(format, formatTag, 2);
  PutLe(format, 1, 2);         // mono
  PutLe(format, rate, 4);
  PutLe(format, rate * 2, 4);  // bytes per second
  PutLe(format, 2, 2);         // block align
  PutLe(format, 16, 2);        // bits per sample
  return Chunk("fmt ", format);
}

// A tenth of a second of a 440 Hz tone, with an extra chunk before the format as some editors
// write it.
std::string ToneWave(std::uint16_t formatTag = 1, const std::string& extra = "INFO") {
  std::string samples;
  for (int i = 0; i < 800; ++i) {
    const double value = 8000 * std::sin(2 * std::numbers::pi * 440 * i / 8000.0);
    PutLe(samples, static_cast<std::uint16_t>(static_cast<std::int16_t>(value)), 2);
  }
  const std::string body = "WAVE" + Chunk("LIST", extra) + FormatChunk(formatTag) + Chunk("data", samples);
  std::string file = "RIFF";
  PutLe(file, static_cast<std::uint32_t>(body.size()), 4);
  return file + body;
}

class SoundDeviceTest : public ::testing::Test {
 protected:
  std::string Write(const char* name, const std::string& content) const {
    const std::string path = (directory.path() + QLatin1Char('/') + QLatin1String(name)).toStdString();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  // The message of the SoundDeviceError that opening `path` raises, or "" when it opens.
  std::string OpenError(const std::string& path) {
    try {
      device.Open(path);
    } catch (const SoundDeviceError& e) {
      EXPECT_FALSE(device.IsOpen());
      return e.what();
    }
    return {};
  }

  QTemporaryDir directory;
  SoundDevice device;
};

TEST_F(SoundDeviceTest, RefusedFilesNameTheFileAndTheReason) {
  const std::string missing = (directory.path() + QStringLiteral("/gone.wav")).toStdString();
  EXPECT_EQ(OpenError(missing),
            "The specified file was not found: \"" + missing + "\". Make sure the path and file name are correct.");

  const std::string text = Write("notes.wav", "This is not a sound.\n");
  EXPECT_EQ(OpenError(text), "The file is not a valid WAVE file: \"" + text + "\".");

  const std::string folder = (directory.path() + QStringLiteral("/folder.wav")).toStdString();
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder)));
  EXPECT_EQ(OpenError(folder), "Cannot read the file \"" + folder + "\": it is a folder.");

  const std::string adpcm = Write("adpcm.wav", ToneWave(2));
  EXPECT_EQ(OpenError(adpcm),
            "The WAVE file \"" + adpcm + "\" is in a format that cannot be played (format code 2).");

  EXPECT_EQ(OpenError(""), "No sound file was given.");

  // An odd-sized chunk is followed by a pad byte, which the check skips with it.
  EXPECT_EQ(OpenError(Write("padded.wav", ToneWave(1, "INFOx"))), "");
}

TEST_F(SoundDeviceTest, TruncatedWaveFilesAreRefused) {
  const std::string whole = ToneWave();
  const std::string noData = Write("nodata.wav", whole.substr(0, whole.find("data")));
  EXPECT_NE(OpenError(noData).find("not a valid WAVE file"), std::string::npos);

  const std::string shortFormat = Write("short.wav", whole.substr(0, whole.find("fmt ") + 14));
  EXPECT_NE(OpenError(shortFormat).find("not a valid WAVE file"), std::string::npos);

  std::string dataFirst = "RIFF....WAVE" + Chunk("data", "ab") + FormatChunk(1);
  EXPECT_NE(OpenError(Write("datafirst.wav", dataFirst)).find("not a valid WAVE file"), std::string::npos);
}

TEST_F(SoundDeviceTest, GoodFileOpensPlaysAndIsClosedByTheNextOpen) {
  const std::string first = Write("first.wav", ToneWave());
  const std::string second = Write("second.wav", ToneWave());
  ASSERT_EQ(OpenError(first), "");
  EXPECT_TRUE(device.IsOpen());
  device.Play();  // returns at once; without an audio output nothing is reported

  ASSERT_EQ(OpenError(second), "");
  EXPECT_EQ(device.FileName(), second);
  device.Play();
  QEventLoop loop;  // let the player load and start (or fail) in the background
  QTimer::singleShot(100, &loop, &QEventLoop::quit);
  loop.exec();

  // A refused file leaves nothing open: the earlier device was closed before the check.
  EXPECT_NE(OpenError(Write("bad.wav", "RIFF")), "");
  EXPECT_EQ(device.FileName(), "");
  device.Play();  // nothing open: nothing happens
}

}  // namespace
