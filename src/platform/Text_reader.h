// Reads a text file the way a C text-mode stream on the original platform
// did: a CR LF pair arrives as one "\n", so a line end counts as one
// character; a bare LF reads the same and a lone CR is an ordinary character.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace doz::platform {

// Why a file could not be read.
enum class TFileProblem {
  None,
  Missing,         // no such file (or a folder on its path is a file)
  Folder,          // a folder, not a file
  NoPermission,    // reading it is not allowed
  NotRegularFile,  // a device, a FIFO or a socket
  ReadError,       // any other failure: systemError tells which
};

struct TFileFailure {
  TFileProblem problem = TFileProblem::None;
  int systemError = 0;  // the errno behind a ReadError
};

class TTextReader {
 public:
  TTextReader() = default;
  ~TTextReader();
  TTextReader(const TTextReader&) = delete;
  TTextReader& operator=(const TTextReader&) = delete;

  // False for a missing file, a directory or anything not a regular file;
  // Failure then says which.
  bool Open(const std::string& path);
  void Close();

  // Like fgets: at most maxChars characters, stopping after the line end
  // ("\n"). Bytes come as stored. False at the end of the file (nothing read)
  // or on a read error.
  bool ReadPiece(std::size_t maxChars, std::string& out);

  // Why the last Open failed, or a read error since the last Open; no
  // problem at the plain end of a file.
  const TFileFailure& Failure() const { return failure_; }

 private:
  // Next byte of the file, or -1 at the end or on an error.
  int NextByte();
  int PeekByte();
  bool Fill();

  static constexpr std::size_t MIN_BUFFER_SIZE = 4096;
  static constexpr std::size_t BUFFER_SIZE = 65536;

  int fd_ = -1;
  TFileFailure failure_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

}  // namespace doz::platform
