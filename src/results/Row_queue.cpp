#include "Row_queue.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "Row_codec.h"
#include "Text_writer.h"

namespace doz::results {
namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The whole file; empty when it is absent. False when it cannot be read.
bool ReadAll(const std::string& path, std::string& bytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  char buffer[65536];
  ssize_t n = 0;
  while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return n == 0;
}

// Holds the queue's lock file locked for as long as it lives.
class TLockHold {
 public:
  explicit TLockHold(const std::string& path)
      : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
    int r = -1;
    while (fd_ >= 0 && (r = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (r != 0 && fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~TLockHold() {
    if (fd_ >= 0) ::close(fd_);
  }
  TLockHold(const TLockHold&) = delete;
  TLockHold& operator=(const TLockHold&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_;
};

// The complete lines of the queue's text; a last line without its end is
// what a crash in the middle of an append leaves, and counts as damaged.
template <typename F>
void ForEachLine(const std::string& bytes, F each) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) {
      each(std::string_view(bytes).substr(start), false);
      return;
    }
    each(std::string_view(bytes).substr(start, end + 1 - start), true);
    start = end + 1;
  }
}

}  // namespace

TStoreStatus TRowQueue::Failure(const std::string& what) const {
  return {TStoreError::Queue, path_ + ": " + what + ": " + std::strerror(errno)};
}

TStoreStatus TRowQueue::Append(const TResultRow& row) const {
  std::error_code ec;
  if (makeFolder_) std::filesystem::create_directories(FolderOf(path_), ec);
  const TLockHold lock(path_ + ".lock");
  if (!lock.Held()) return Failure("cannot lock the queue");
  const int fd = ::open(path_.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return Failure("cannot open the queue");
  struct stat info {};
  char last = '\n';
  const bool known = ::fstat(fd, &info) == 0 &&
                     (info.st_size == 0 || ::pread(fd, &last, 1, info.st_size - 1) == 1);
  // A line left unfinished by a crash must not swallow this row.
  const std::string line = (last == '\n' ? "" : "\n") + EncodeRow(row);
  const bool ok = known && WriteAll(fd, line) && ::fsync(fd) == 0;
  const TStoreStatus status = ok ? TStoreStatus{} : Failure("cannot write to the queue");
  ::close(fd);
  if (ok && info.st_size == 0) SyncFolder(FolderOf(path_));
  return status;
}

std::size_t TRowQueue::Waiting() const {
  std::string bytes;
  if (!ReadAll(path_, bytes)) return 0;
  std::size_t count = 0;
  ForEachLine(bytes, [&count](std::string_view line, bool complete) {
    if (complete && DecodeRow(line)) ++count;
  });
  return count;
}

TQueueFlush TRowQueue::Flush(const std::function<TStoreStatus(const TResultRow&)>& write) const {
  TQueueFlush result;
  struct stat info {};
  if (::stat(path_.c_str(), &info) != 0 || info.st_size == 0) return result;
  const TLockHold lock(path_ + ".lock");
  std::string bytes;
  if (!lock.Held() || !ReadAll(path_, bytes)) {
    result.Status = Failure(lock.Held() ? "cannot read the queue" : "cannot lock the queue");
    result.Waiting = Waiting();
    return result;
  }
  std::string kept;
  ForEachLine(bytes, [&](std::string_view line, bool complete) {
    const auto row = complete ? DecodeRow(line) : std::nullopt;
    if (!row) {
      ++result.Damaged;
      return;
    }
    // After the first failure the rest wait, so that the order holds.
    if (result.Status.Ok()) result.Status = write(*row);
    if (result.Status.Ok()) {
      ++result.Written;
    } else {
      kept.append(line);
      ++result.Waiting;
    }
  });
  if (result.Written + result.Damaged == 0) return result;
  const TStoreStatus rewritten = Rewrite(kept);
  if (!rewritten.Ok()) {
    // The store holds the flushed rows already; a later flush finds them stored.
    result.Status = rewritten;
    result.Waiting += result.Written;
  }
  return result;
}

TStoreStatus TRowQueue::Rewrite(const std::string& kept) const {
  if (kept.empty()) {
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) return Failure("cannot remove the queue");
    SyncFolder(FolderOf(path_));
    return {};
  }
  platform::TTextWriter writer;
  if (!writer.Open(path_)) return Failure("cannot rewrite the queue");
  writer.WriteBytes(kept);
  return writer.Commit() ? TStoreStatus{} : Failure("cannot rewrite the queue");
}

}  // namespace doz::results
