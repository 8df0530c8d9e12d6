// SHA-256 (FIPS 180-4) of bytes or of a file, as 64 lowercase hex digits: the
// digest that ties a result row to its measurement file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace doz::results {

class TSha256 {
 public:
  TSha256();
  void Update(std::string_view bytes);
  // The digest of everything given; the object is spent afterwards.
  std::string HexDigest();

 private:
  void Block(const unsigned char* block);

  std::array<std::uint32_t, 8> state_;
  std::array<unsigned char, 64> pending_{};
  std::size_t pendingSize_ = 0;
  std::uint64_t totalBytes_ = 0;
};

std::string Sha256Hex(std::string_view bytes);
// Nothing when the file cannot be opened or read to its end.
std::optional<std::string> FileSha256(const std::string& path);

}  // namespace doz::results
