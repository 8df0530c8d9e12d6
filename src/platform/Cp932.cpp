#include "Cp932.h"

#include <cerrno>
#include <iconv.h>

namespace doz::platform {
namespace {

// One conversion descriptor per direction and thread: iconv_open is costly
// and a descriptor must not be shared between threads.
class TIconv {
 public:
  TIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~TIconv() {
    if (Ok()) iconv_close(cd_);
  }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;

  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

  // Converts as much as possible; returns 0 or the errno that stopped it.
  int Convert(const char*& in, std::size_t& inLeft, std::string& out) {
    char buffer[1024];
    while (inLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      const std::size_t rc = iconv(cd_, const_cast<char**>(&in), &inLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) return errno;
    }
    return 0;
  }

 private:
  iconv_t cd_;
};

TIconv& ToCp932() {
  thread_local TIconv cd("CP932", "UTF-8");
  return cd;
}

TIconv& FromCp932() {
  thread_local TIconv cd("UTF-8", "CP932");
  return cd;
}

// Bytes of the UTF-8 character (well formed or not) that starts at text[0].
std::size_t Utf8CharLength(const char* text, std::size_t left) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t expected = 1;
  if (lead >= 0xF0 && lead <= 0xF4) {
    expected = 4;
  } else if (lead >= 0xE0) {
    expected = 3;
  } else if (lead >= 0xC2) {
    expected = 2;
  }
  std::size_t n = 1;
  while (n < expected && n < left && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) ++n;
  return n;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
  std::string out;
  TIconv& cd = ToCp932();
  if (!cd.Ok()) return std::string(utf8.size(), '?');
  cd.Reset();
  const char* in = utf8.data();
  std::size_t left = utf8.size();
  while (left > 0) {
    if (cd.Convert(in, left, out) == 0) break;
    // Unrepresentable, malformed or cut short: one "?" for the character.
    const std::size_t skip = Utf8CharLength(in, left);
    out.push_back('?');
    in += skip;
    left -= skip;
    cd.Reset();
  }
  return out;
}

bool Cp932ToUtf8(std::string_view cp932, std::string& utf8) {
  TIconv& cd = FromCp932();
  if (!cd.Ok()) return false;
  cd.Reset();
  std::string out;
  const char* in = cp932.data();
  std::size_t left = cp932.size();
  if (cd.Convert(in, left, out) != 0) return false;
  utf8 = std::move(out);
  return true;
}

std::size_t Cp932Length(std::string_view utf8) { return Utf8ToCp932(utf8).size(); }

}  // namespace doz::platform
