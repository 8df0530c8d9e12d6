#include "Text_reader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace doz::platform {
namespace {

TFileFailure FailureOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return {TFileProblem::Missing, error};
    case EACCES:
    case EPERM:
      return {TFileProblem::NoPermission, error};
    case EISDIR:
      return {TFileProblem::Folder, error};
    default:
      return {TFileProblem::ReadError, error};
  }
}

// Only a regular file is read.
TFileFailure FailureOf(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return {};
  if (S_ISDIR(st.st_mode)) return {TFileProblem::Folder, EISDIR};
  return {TFileProblem::NotRegularFile, 0};
}

}  // namespace

TTextReader::~TTextReader() { Close(); }

bool TTextReader::Open(const std::string& path) {
  Close();
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    failure_ = FailureOf(errno);
    return false;
  }
  struct stat st {};
  failure_ = ::fstat(fd, &st) != 0 ? FailureOf(errno) : FailureOf(st);
  if (failure_.problem != TFileProblem::None) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  // A small file needs no full-sized buffer.
  buffer_.resize(std::clamp<std::size_t>(static_cast<std::size_t>(st.st_size), MIN_BUFFER_SIZE,
                                         BUFFER_SIZE));
  pos_ = end_ = 0;
  return true;
}

void TTextReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  pos_ = end_ = 0;
  failure_ = {};
}

bool TTextReader::Fill() {
  if (fd_ < 0) return false;
  for (;;) {
    const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
    if (n > 0) {
      pos_ = 0;
      end_ = static_cast<std::size_t>(n);
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failure_ = FailureOf(errno);
    return false;
  }
}

int TTextReader::PeekByte() {
  if (pos_ == end_ && !Fill()) return -1;
  return static_cast<unsigned char>(buffer_[pos_]);
}

int TTextReader::NextByte() {
  const int c = PeekByte();
  if (c >= 0) ++pos_;
  return c;
}

bool TTextReader::ReadPiece(std::size_t maxChars, std::string& out) {
  out.clear();
  while (out.size() < maxChars) {
    int c = NextByte();
    if (c < 0) break;
    if (c == '\r' && PeekByte() == '\n') c = NextByte();
    out.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !out.empty();
}

}  // namespace doz::platform
