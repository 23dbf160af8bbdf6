// SPDX-License-Identifier: MIT
// scanpage FILE [--headers] [--previous-count N]
// Loads a saved mailbox page as the notifier would, scans it, and prints what the notifier
// would show as JSON on stdout.

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>

#include "session/latin1_utf8.h"
#include "session/mailbox_scan.h"

namespace {

using Json = nlohmann::ordered_json;  // keys in the order written

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

Json Rows(const MessageList& m) {
  Json rows = Json::array();
  for (std::size_t i = 0; i < m.RowCount(); ++i)
    rows.push_back({{"name", Latin1ToUtf8(m.fieldNames[i])}, {"link", Latin1ToUtf8(m.links[i])},
                    {"sender", Latin1ToUtf8(m.senders[i].text)}, {"date", Latin1ToUtf8(m.dates[i])},
                    {"subject", Latin1ToUtf8(m.subjects[i])}, {"size", Latin1ToUtf8(m.sizes[i])}});
  return rows;
}

// The sender list's entries past the rows: the status lines ("No mail for you!"), which always
// follow the rows.
Json StatusLines(const MessageList& m) {
  Json lines = Json::array();
  for (std::size_t i = m.RowCount(); i < m.senders.size(); ++i) lines.push_back(Latin1ToUtf8(m.senders[i].text));
  return lines;
}

// Page bytes are not necessarily UTF-8: each byte goes as the Latin-1 character of its value,
// escaped as \u00XX, so that a reader decoding the strings as Latin-1 gets the page's bytes back.
void WriteResult(const MailboxState& s) {
  const Json result = {{"count", s.NewMailCount},
                       {"sessionUrl", Latin1ToUtf8(s.SessionURL)},
                       {"rows", Rows(s.Messages)},
                       {"statusLines", StatusLines(s.Messages)},
                       {"icon", s.TrayIconIndex},
                       {"tooltip", Latin1ToUtf8(s.TrayHint)},
                       {"deleteEnabled", s.MessageButtonsEnabled},
                       {"previewEnabled", s.MessageButtonsEnabled},
                       {"status", Latin1ToUtf8(s.StatusText)}};
  std::cout << result.dump(2, ' ', /*ensure_ascii=*/true) << '\n';
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
