// SPDX-License-Identifier: MIT
// scanpage FILE [--headers] [--previous-count N]
// Loads a saved mailbox page as the notifier would, scans it, and prints what the notifier
// would show as JSON on stdout.

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "json_writer.h"
#include "session/mailbox_scan.h"

namespace {

struct Options {
  std::string file;
  bool headers = false;
  std::int32_t previousCount = 0;
};

[[noreturn]] void Usage() {
  std::cerr << "usage: scanpage FILE [--headers] [--previous-count N]\n";
  std::exit(2);
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--headers") {
      options.headers = true;
    } else if (arg == "--previous-count" && i + 1 < argc) {
      const std::string n = argv[++i];
      const auto [end, error] = std::from_chars(n.data(), n.data() + n.size(), options.previousCount);
      if (error != std::errc() || end != n.data() + n.size()) Usage();
    } else if (options.file.empty() && !arg.starts_with("--")) {
      options.file = arg;
    } else {
      Usage();
    }
  }
  if (options.file.empty()) Usage();
  return options;
}

// More than the capacity without a NUL can never load, so reading stops there.
std::string ReadPageFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot open " + path);
  std::string bytes(PageText::kCapacity + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) throw std::runtime_error("Cannot read " + path);
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

void WriteRows(JsonWriter& json, const MessageList& m) {
  json.Key("rows");
  json.BeginArray();
  for (std::size_t i = 0; i < m.RowCount(); ++i) {
    json.BeginObject();
    const std::pair<const char*, const std::string&> fields[] = {
        {"name", m.fieldNames[i]}, {"link", m.links[i]},         {"sender", m.senders[i].text},
        {"date", m.dates[i]},      {"subject", m.subjects[i]}, {"size", m.sizes[i]}};
    for (const auto& [key, value] : fields) {
      json.Key(key);
      json.String(value);
    }
    json.EndObject();
  }
  json.EndArray();
}

// The sender list's entries past the rows: the status lines ("No mail for you!"), which always
// follow the rows.
void WriteStatusLines(JsonWriter& json, const MessageList& m) {
  json.Key("statusLines");
  json.BeginArray();
  for (std::size_t i = m.RowCount(); i < m.senders.size(); ++i) json.String(m.senders[i].text);
  json.EndArray();
}

void WriteResult(const MailboxState& s) {
  JsonWriter json(std::cout);
  json.BeginObject();
  json.Key("count");
  json.Number(s.NewMailCount);
  json.Key("sessionUrl");
  json.String(s.SessionURL);
  WriteRows(json, s.Messages);
  WriteStatusLines(json, s.Messages);
  json.Key("icon");
  json.Number(s.TrayIconIndex);
  json.Key("tooltip");
  json.String(s.TrayHint);
  json.Key("deleteEnabled");
  json.Bool(s.MessageButtonsEnabled);
  json.Key("previewEnabled");
  json.Bool(s.MessageButtonsEnabled);
  json.Key("status");
  json.String(s.StatusText);
  json.EndObject();
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  MailboxState state;
  state.NewMailCount = options.previousCount;
  PageText page;
  try {
    page.Load(ReadPageFile(options.file));
  } catch (const std::exception& e) {
    std::cerr << "scanpage: " << e.what() << '\n';
    return 1;
  }
  ScanMailbox(page, options.headers, state);
  WriteResult(state);
  return 0;
}
