#include "Text_writer.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Cp932.h"

namespace doz::platform {
namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The mode a newly created file gets: 0666 less the process's umask.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Makes the rename itself durable; a folder that cannot be synced changes
// nothing about the file just written.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

TTextWriter::~TTextWriter() { Discard(); }

bool TTextWriter::Open(const std::string& target) {
  Discard();
  failed_ = false;
  if (target.empty() || target.back() == '/') return false;
  std::string pattern = FolderOf(target) + "/.doz-XXXXXX";
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return false;
  fd_ = fd;
  target_ = target;
  tempPath_ = pattern;
  if (::fchmod(fd_, NewFileMode()) != 0) failed_ = true;
  return true;
}

void TTextWriter::WriteLine(std::string_view utf8) {
  std::string line;
  line.reserve(utf8.size());
  for (const char c : utf8) {
    if (c != '\r' && c != '\n') line.push_back(c);
  }
  WriteRawLine(Utf8ToCp932(line));
}

void TTextWriter::WriteRawLine(std::string_view bytes) {
  Append(bytes);
  Append("\r\n");
}

void TTextWriter::Append(std::string_view bytes) {
  if (fd_ < 0 || failed_) return;
  pending_.append(bytes);
  if (pending_.size() >= FLUSH_SIZE && !Flush()) failed_ = true;
}

bool TTextWriter::Flush() {
  const bool ok = WriteAll(fd_, pending_.data(), pending_.size());
  pending_.clear();
  return ok;
}

bool TTextWriter::Commit() {
  if (fd_ < 0) return false;
  bool ok = !failed_ && Flush() && ::fsync(fd_) == 0;
  ok = (::close(fd_) == 0) && ok;
  fd_ = -1;
  ok = ok && ::rename(tempPath_.c_str(), target_.c_str()) == 0;
  if (!ok) {
    Discard();
    return false;
  }
  tempPath_.clear();
  SyncFolder(FolderOf(target_));
  return true;
}

void TTextWriter::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
  pending_.clear();
}

}  // namespace doz::platform
