// kalmet-sessiongen: writes a simulated controller session (".xml", ".Z4K" or ".Z5K")
// of a pump station, the same bytes for the same seed, and optionally the facts that
// the viewer should show for it.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include "session_encoder.h"
#include "session_writers.h"
#include "story.h"

using namespace kalmet::sessiongen;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: kalmet-sessiongen --protocol 0|1|2 --kind xml|z4k|z5k [--seed N] [--events N]\n"
    "         [--graph-points N] [--starts N] [--alarms N] [--slices N] [--archive-chunk N]\n"
    "         [--label-start N] [--facts FILE] -o FILE\n"
    "  --events N        journal events (default 200)\n"
    "  --graph-points N  archive graph moments, 10 minutes apart (default 144)\n"
    "  --starts N        start-up curves, at most 12 (default 3)\n"
    "  --alarms N        alarm log records of protocol 1 (default 6; at most the trips)\n"
    "  --slices N        measurement slices of a .Z5K file, 1 minute apart (default 60)\n"
    "  --archive-chunk N archive graph records per value element (default 48)\n"
    "  --label-start N   first record number of the protocol-2 journal (default from the seed)\n"
    "  --facts FILE      also write what the viewer should show, as JSON\n";

bool ParseNumber(const std::string& text, long long lo, long long hi, long long* out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  *out = v;
  return true;
}

bool WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if ((a == "-o" || (a.size() > 2 && a.rfind("--", 0) == 0)) && i + 1 < argc) {
      args[a == "-o" ? "output" : a.substr(2)] = argv[++i];
    } else {
      std::cerr << "kalmet-sessiongen: unexpected argument " << a << "\n" << kUsage;
      return kExitUsage;
    }
  }
  static const std::map<std::string, std::pair<long long, long long>> kNumbers = {
      {"protocol", {0, 2}},
      {"seed", {0, LLONG_MAX}},
      {"events", {0, 10000000}},
      {"graph-points", {0, 10000000}},
      {"starts", {0, 12}},
      {"alarms", {0, 1000}},
      {"slices", {0, 10000000}},
      {"archive-chunk", {1, 6553}},
      {"label-start", {0, 0xFFFFFFFFll}}};
  std::map<std::string, long long> n;
  for (const auto& [name, value] : args) {
    if (name == "kind" || name == "output" || name == "facts") continue;
    const auto range = kNumbers.find(name);
    if (range == kNumbers.end()) {
      std::cerr << "kalmet-sessiongen: unknown option --" << name << "\n" << kUsage;
      return kExitUsage;
    }
    if (!ParseNumber(value, range->second.first, range->second.second, &n[name])) {
      std::cerr << "kalmet-sessiongen: --" << name << " needs a number from " << range->second.first
                << " to " << range->second.second << "\n";
      return kExitUsage;
    }
  }
  static const std::map<std::string, TFileKind> kKinds = {
      {"xml", TFileKind::kXml}, {"z4k", TFileKind::kZ4K}, {"z5k", TFileKind::kZ5K}};
  if (!args.count("protocol") || !args.count("kind") || !args.count("output") ||
      !kKinds.count(args["kind"])) {
    std::cerr << kUsage;
    return kExitUsage;
  }

  TStoryOptions story;
  const auto take = [&](const char* name, auto& field) {
    if (n.count(name)) field = static_cast<std::remove_reference_t<decltype(field)>>(n[name]);
  };
  take("seed", story.seed);
  take("events", story.events);
  take("graph-points", story.graphPoints);
  take("starts", story.starts);
  take("alarms", story.alarms);
  take("slices", story.slices);
  TEncodeOptions encode;
  encode.protocol = int(n["protocol"]);
  encode.kind = kKinds.at(args["kind"]);
  take("archive-chunk", encode.archiveChunk);
  take("label-start", encode.labelStart);

  try {
    const TStory model(story);
    TSessionFacts facts;
    const TSessionContent content = EncodeSession(model, encode, &facts);
    if (!WriteFile(args["output"], WriteSession(content, encode.kind))) {
      std::cerr << "kalmet-sessiongen: cannot write " << args["output"] << ": "
                << std::strerror(errno) << "\n";
      return kExitFailed;
    }
    if (args.count("facts") && !WriteFile(args["facts"], facts.Json())) {
      std::cerr << "kalmet-sessiongen: cannot write " << args["facts"] << "\n";
      return kExitFailed;
    }
  } catch (const std::exception& e) {
    std::cerr << "kalmet-sessiongen: " << e.what() << "\n";
    return kExitFailed;
  }
  return kExitOk;
}
