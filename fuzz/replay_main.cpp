// Runs a libFuzzer entry point over files and folders given on the command line,
// so that the corpus is replayed in ordinary (and sanitizer) test builds.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A distinct heap copy of exactly the input size lets ASan catch reads past the end.
  std::vector<uint8_t> copy(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(copy.empty() ? nullptr : copy.data(), copy.size());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  int count = 0;
  // The empty input always runs.
  LLVMFuzzerTestOneInput(nullptr, 0);
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path arg(argv[i]);
    std::error_code ec;
    if (std::filesystem::is_directory(arg, ec)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg)) {
        if (entry.is_regular_file()) count += RunFile(entry.path());
      }
    } else if (std::filesystem::is_regular_file(arg, ec)) {
      count += RunFile(arg);
    }
  }
  std::printf("replayed %d inputs\n", count + 1);
  return 0;
}
