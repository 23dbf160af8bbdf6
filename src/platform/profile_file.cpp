// SPDX-License-Identifier: MIT
#include "platform/profile_file.h"

#include <optional>

#include "platform/whole_file.h"

namespace win {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view s) {
  const std::size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// One line of the file; the line break is kept as found so that untouched lines stay byte
// for byte.
struct Line {
  std::string text;
  std::string lineBreak;  // "\r\n", "\n", or empty on a last line without one
};

using Lines = std::vector<Line>;

Lines SplitLines(std::string_view content) {
  Lines lines;
  while (!content.empty()) {
    const std::size_t lf = content.find('\n');
    std::string_view text = content.substr(0, lf);
    std::string lineBreak;
    if (lf != std::string_view::npos) {
      const bool cr = text.ends_with('\r');
      if (cr) text.remove_suffix(1);
      lineBreak = cr ? "\r\n" : "\n";
    }
    lines.push_back({std::string(text), lineBreak});
    content.remove_prefix(lf == std::string_view::npos ? content.size() : lf + 1);
  }
  return lines;
}

std::string JoinLines(const Lines& lines) {
  std::string content;
  for (const Line& line : lines) content += line.text + line.lineBreak;
  return content;
}

std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (!line.starts_with('[')) return std::nullopt;
  line.remove_prefix(1);
  return Trim(line.substr(0, line.find(']')));
}

std::optional<std::string_view> KeyName(std::string_view line) {
  line = Trim(line);
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || line.starts_with(';') || line.starts_with('[')) return std::nullopt;
  return Trim(line.substr(0, equals));
}

struct Section {
  std::size_t header;
  std::size_t end;  // one past its last line
};

std::optional<Section> FindSection(const Lines& lines, std::string_view name) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto found = SectionName(lines[i].text);
    if (!found || !SameName(*found, name)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !SectionName(lines[end].text)) ++end;
    return Section{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const Lines& lines, const Section& section, std::string_view key) {
  for (std::size_t i = section.header + 1; i < section.end; ++i) {
    const auto found = KeyName(lines[i].text);
    if (found && SameName(*found, key)) return i;
  }
  return std::nullopt;
}

// New lines follow the file's own convention.
std::string LineBreakOf(const Lines& lines) {
  return !lines.empty() && lines.front().lineBreak == "\r\n" ? "\r\n" : "\n";
}

void InsertLine(Lines& lines, std::size_t at, std::string text, const std::string& lineBreak) {
  if (at > 0 && lines[at - 1].lineBreak.empty()) lines[at - 1].lineBreak = lineBreak;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), lineBreak});
}

// Past the section's last non-blank line, so a blank line before the next section stays there.
std::size_t InsertionPoint(const Lines& lines, const Section& section) {
  std::size_t at = section.end;
  while (at > section.header + 1 && Trim(lines[at - 1].text).empty()) --at;
  return at;
}

void SetKey(Lines& lines, std::string_view sectionName, const ProfileEntry& entry, const std::string& lineBreak) {
  std::string text = entry.key + "=" + entry.value;
  std::optional<Section> section = FindSection(lines, sectionName);
  if (!section) {
    InsertLine(lines, lines.size(), "[" + std::string(sectionName) + "]", lineBreak);
    InsertLine(lines, lines.size(), std::move(text), lineBreak);
    return;
  }
  if (const auto key = FindKey(lines, *section, entry.key)) {
    lines[*key].text = std::move(text);
    return;
  }
  InsertLine(lines, InsertionPoint(lines, *section), std::move(text), lineBreak);
}

bool BreaksLine(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

bool Writable(std::string_view section, const std::vector<ProfileEntry>& entries) {
  if (BreaksLine(section) || section.find(']') != std::string_view::npos) return false;
  for (const ProfileEntry& entry : entries) {
    const std::string_view key = Trim(entry.key);
    if (key.empty() || BreaksLine(key) || key.find('=') != std::string_view::npos || key.starts_with('[') ||
        key.starts_with(';') || BreaksLine(entry.value))
      return false;
  }
  return true;
}

}  // namespace

std::string ProfileSection::GetString(std::string_view key, std::string_view defaultValue,
                                      std::size_t size) const {
  const std::size_t limit = size > 0 ? size - 1 : 0;
  std::string_view value = defaultValue;
  for (const auto& [name, text] : entries_) {
    if (SameName(name, key)) {
      value = text;
      break;
    }
  }
  return std::string(value.substr(0, limit));
}

ProfileSection ReadProfileSection(std::string_view section, const std::string& fileName) {
  const Lines lines = SplitLines(detail::ReadWholeFile(detail::FileBehindPath(fileName)));
  ProfileSection found;
  if (const auto range = FindSection(lines, section)) {
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
      const std::string_view text = lines[i].text;
      if (const auto key = KeyName(text)) found.entries_.emplace_back(*key, Trim(text.substr(text.find('=') + 1)));
    }
  }
  return found;
}

void WriteProfileStrings(std::string_view section, const std::vector<ProfileEntry>& entries,
                         const std::string& fileName) {
  if (!Writable(section, entries)) throw FileError("a name or value would break the file's lines");
  // The whole file is read first and must be readable: its other sections and keys stay.
  const std::string file = detail::FileBehindPath(fileName);
  Lines lines = SplitLines(detail::ReadWholeFile(file));
  const std::string lineBreak = LineBreakOf(lines);
  for (const ProfileEntry& entry : entries) SetKey(lines, section, entry, lineBreak);
  detail::ReplaceWholeFile(file, JoinLines(lines));
}

}  // namespace win
