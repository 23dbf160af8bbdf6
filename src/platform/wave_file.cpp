// SPDX-License-Identifier: MIT
#include "platform/wave_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/sound_device.h"

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::uint32_t kFormatChunkMinimum = 16;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string Quoted(const std::string& fileName) { return "\"" + fileName + "\""; }

[[noreturn]] void NotAWaveFile(const std::string& fileName) {
  throw SoundDeviceError("The file is not a valid WAVE file: " + Quoted(fileName) + ".");
}

[[noreturn]] void CannotRead(const std::string& fileName, const std::string& reason) {
  throw SoundDeviceError("Cannot read the file " + Quoted(fileName) + ": " + reason + ".");
}

std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

File OpenForReading(const std::string& fileName) {
  if (fileName.empty()) throw SoundDeviceError("No sound file was given.");
  std::error_code ignored;  // a status that cannot be read is reported by fopen below
  const auto type = std::filesystem::status(fileName, ignored).type();
  if (type == std::filesystem::file_type::not_found) {
    throw SoundDeviceError("The specified file was not found: " + Quoted(fileName) +
                          ". Make sure the path and file name are correct.");
  }
  if (type == std::filesystem::file_type::directory) CannotRead(fileName, "it is a folder");
  File file(std::fopen(fileName.c_str(), "rb"));
  if (!file) CannotRead(fileName, std::strerror(errno));
  return file;
}

// False at the end of the file; a read error throws.
bool ReadExactly(std::FILE* file, unsigned char* buffer, std::size_t size, const std::string& fileName) {
  if (std::fread(buffer, 1, size, file) == size) return true;
  if (std::ferror(file)) CannotRead(fileName, std::strerror(errno));
  return false;
}

// Reads the first 16 bytes of a format chunk, which hold everything the player needs to know.
void CheckFormatChunk(std::FILE* file, std::uint32_t size, const std::string& fileName) {
  unsigned char format[kFormatChunkMinimum];
  if (size < kFormatChunkMinimum || !ReadExactly(file, format, sizeof format, fileName)) NotAWaveFile(fileName);
  const std::uint16_t tag = Le16(format);
  const std::uint16_t channels = Le16(format + 2);
  const std::uint32_t sampleRate = Le32(format + 4);
  const std::uint16_t bitsPerSample = Le16(format + 14);
  if (channels == 0 || sampleRate == 0 || bitsPerSample == 0) NotAWaveFile(fileName);
  if (tag != kFormatPcm && tag != kFormatFloat && tag != kFormatExtensible) {
    throw SoundDeviceError("The WAVE file " + Quoted(fileName) +
                          " is in a format that cannot be played (format code " + std::to_string(tag) + ").");
  }
}

void CheckRiffHeader(std::FILE* file, const std::string& fileName) {
  unsigned char header[12];
  if (!ReadExactly(file, header, sizeof header, fileName) || std::memcmp(header, "RIFF", 4) != 0 ||
      std::memcmp(header + 8, "WAVE", 4) != 0) {
    NotAWaveFile(fileName);
  }
}

}  // namespace

// Walks the chunks after the RIFF header up to the data; each chunk's data is padded to an even
// length. The player needs the format before the data.
void CheckWaveFile(const std::string& fileName) {
  const File file = OpenForReading(fileName);
  CheckRiffHeader(file.get(), fileName);
  bool formatSeen = false;
  for (;;) {
    unsigned char chunk[8];
    if (!ReadExactly(file.get(), chunk, sizeof chunk, fileName)) NotAWaveFile(fileName);
    if (std::memcmp(chunk, "data", 4) == 0) {
      if (formatSeen) return;
      NotAWaveFile(fileName);
    }
    const std::uint32_t size = Le32(chunk + 4);
    long unread = static_cast<long>(size) + (size & 1);
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      CheckFormatChunk(file.get(), size, fileName);
      formatSeen = true;
      unread -= kFormatChunkMinimum;
    }
    if (std::fseek(file.get(), unread, SEEK_CUR) != 0) CannotRead(fileName, std::strerror(errno));
  }
}
