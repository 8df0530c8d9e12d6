// Writes a text file (its lines in code page 932 with CR LF line ends, or
// bytes as given) safely: the text goes to a temporary file beside the
// target, which replaces the target only when everything was written and
// synced. Until then, and after any failure, the old target stays as it was.
#pragma once

#include <string>
#include <string_view>

namespace doz::platform {

class TTextWriter {
 public:
  TTextWriter() = default;
  // Removes the temporary file unless Commit succeeded.
  ~TTextWriter();
  TTextWriter(const TTextWriter&) = delete;
  TTextWriter& operator=(const TTextWriter&) = delete;

  // Creates the temporary file in the target's folder. False when it cannot.
  bool Open(const std::string& target);
  // UTF-8 text, converted to code page 932; CR and LF inside the text are
  // dropped so that one call is always one line of the file.
  void WriteLine(std::string_view utf8);
  // Bytes already in the file's code page, written as they are.
  void WriteRawLine(std::string_view bytes);
  // Bytes as they are and no line end added: for formats whose lines end in
  // something else (UTF-8 files with LF line ends).
  void WriteBytes(std::string_view bytes) { Append(bytes); }
  // Flushes, syncs, closes and renames over the target. False when any step,
  // or any earlier write, failed; the temporary file is then removed.
  bool Commit();

 private:
  void Append(std::string_view bytes);
  bool Flush();
  void Discard();

  static constexpr std::size_t FLUSH_SIZE = 65536;

  int fd_ = -1;
  bool failed_ = false;
  std::string target_;
  std::string tempPath_;
  std::string pending_;
};

}  // namespace doz::platform
