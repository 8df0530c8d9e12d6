#include "Fuzz_files.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace doz::fuzz {
namespace {

struct TScratch {
  std::string folder;
  std::string input;
  std::string output;

  TScratch() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/doz-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) Broken("no scratch folder");
    folder = pattern;
    input = folder + "/input";
    output = folder + "/output";
  }
  ~TScratch() {
    ::unlink(input.c_str());
    ::unlink(output.c_str());
    ::rmdir(folder.c_str());
  }
};

TScratch& Scratch() {
  static TScratch scratch;
  return scratch;
}

}  // namespace

const std::string& InputFile(const std::uint8_t* data, std::size_t size) {
  const std::string& path = Scratch().input;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) Broken("input not written");
  return path;
}

const std::string& OutputFile() { return Scratch().output; }

void Broken(const char* rule) {
  std::fprintf(stderr, "broken: %s\n", rule);
  std::abort();
}

}  // namespace doz::fuzz
