// SPDX-License-Identifier: MIT
// httpget [-X GET|POST] [-d @file] [--proxy host[:port]] [--proxy-user user:pass]
//         [--max-time seconds] [--total-time seconds] [-o file] [-i] URL
// --max-time bounds the time without progress, --total-time the whole request.
// Fetches one URL with HttpClient's synchronous calls and prints the body (or writes it to -o).
// -i writes the response header lines before the body, as they arrive. Exit status 0 on success, 1 with the error
// message on stderr otherwise, 2 for a bad command line.

#include <QCoreApplication>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "body_file.h"
#include "http/http_client.h"

namespace {

struct Options {
  std::string method = "GET";
  std::string dataFile;
  std::string proxy;
  std::string proxyUser;
  std::string output;
  std::string url;
  int maxTime = 0;
  int totalTime = 0;
  bool headers = false;
};

[[noreturn]] void Usage() {
  std::cerr << "usage: httpget [-X GET|POST] [-d @file] [--proxy host[:port]] [--proxy-user user:pass]\n"
               "               [--max-time seconds] [--total-time seconds] [-o file] [-i] URL\n";
  std::exit(2);
}

int Seconds(const std::string& text) {
  int seconds = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (error != std::errc() || end != text.data() + text.size() || seconds < 0) Usage();
  return seconds;
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage();
      return argv[++i];
    };
    if (arg == "-X") {
      o.method = value();
    } else if (arg == "-d") {
      o.dataFile = value();
      if (!o.dataFile.starts_with('@')) Usage();
      o.dataFile.erase(0, 1);
      if (o.method == "GET") o.method = "POST";
    } else if (arg == "--proxy") {
      o.proxy = value();
    } else if (arg == "--proxy-user") {
      o.proxyUser = value();
    } else if (arg == "--max-time") {
      o.maxTime = Seconds(value());
    } else if (arg == "--total-time") {
      o.totalTime = Seconds(value());
    } else if (arg == "-o") {
      o.output = value();
    } else if (arg == "-i") {
      o.headers = true;
    } else if (o.url.empty() && !arg.starts_with('-')) {
      o.url = arg;
    } else {
      Usage();
    }
  }
  if (o.url.empty() || (o.method != "GET" && o.method != "POST")) Usage();
  return o;
}

// Writes straight to the output file as chunks arrive, so a large body is never held whole.
class FileStream : public Stream {
 public:
  explicit FileStream(std::FILE* file) : file_(file) {}
  std::size_t Read(void*, std::size_t) override { return 0; }
  void Write(const void* buffer, std::size_t count) override {
    if (std::fwrite(buffer, 1, count, file_) != count) throw StreamError("cannot write the output file");
    position_ += count;
  }
  void Seek(std::size_t) override {}
  std::size_t Position() const override { return position_; }
  std::size_t Size() const override { return position_; }

 private:
  std::FILE* file_;
  std::size_t position_ = 0;
};

void Configure(HttpClient& http, const Options& o) {
  http.SetMultiThreaded(true);
  http.URL = o.url;
  http.Proxy = o.proxy;
  http.TimeLimit = o.maxTime;
  http.TotalTimeLimit = o.totalTime;
  const std::size_t colon = o.proxyUser.find(':');
  http.ProxyUsername = o.proxyUser.substr(0, colon);
  if (colon != std::string::npos) http.ProxyPassword = o.proxyUser.substr(colon + 1);
}

void PrintHeaders(HttpClient& http, std::FILE* out) {
  http.OnHeaderData = [out](HttpClient* client) {
    std::fwrite(client->LastLine().data(), 1, client->LastLine().size(), out);
    std::fputs("\r\n", out);
  };
  http.OnStateChange = [out](HttpClient* client) {
    if (client->ClientState() == hsReceivingBody) std::fputs("\r\n", out);
  };
}

int Run(const Options& o) {
  std::FILE* out = o.output.empty() ? stdout : std::fopen(o.output.c_str(), "wb");
  if (out == nullptr) throw std::runtime_error("cannot open " + o.output);
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(out == stdout ? nullptr : out, &std::fclose);
  std::setvbuf(out, nullptr, _IONBF, 0);  // chunks are large: one write each, no copy
  HttpClient http;
  Configure(http, o);
  FileStream body(out);
  std::unique_ptr<Stream> post;
  if (!o.dataFile.empty()) {
    post = std::make_unique<BodyFile>(o.dataFile);
  } else {
    post = std::make_unique<MemoryStream>();
  }
  http.ReceiveStream = &body;
  if (o.headers) PrintHeaders(http, out);
  if (o.method == "POST") {
    http.PostStream = post.get();
    http.Post();
  } else {
    http.Get();
  }
  if (std::fflush(out) != 0) throw std::runtime_error("cannot write the output");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const Options options = ParseOptions(argc, argv);
  try {
    return Run(options);
  } catch (const std::exception& e) {
    std::cerr << "httpget: " << e.what() << "\n";
    return 1;
  }
}
