// Feeds every file of the directories named on the command line to a fuzz
// target's entry point, once each, in name order. A missing directory is
// empty.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, size_t Size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  int fed = 0;
  for (int i = 1; i < argc; ++i) {
    if (!fs::is_directory(argv[i])) continue;
    std::set<fs::path> files;
    for (const auto& e : fs::directory_iterator(argv[i]))
      if (e.is_regular_file()) files.insert(e.path());
    for (const fs::path& f : files) {
      std::ifstream in(f, std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      std::fprintf(stderr, "%s\n", f.filename().c_str());
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++fed;
    }
  }
  std::printf("%d inputs replayed\n", fed);
  return 0;
}
