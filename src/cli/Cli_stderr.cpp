#include "Cli_stderr.h"

#include <QString>
#include <QtGlobal>
#include <cerrno>
#include <fcntl.h>
#include <iostream>
#include <streambuf>
#include <unistd.h>

namespace doz::cli {
namespace {

int gStderr = STDERR_FILENO;

// Unbuffered, as std::cerr is: every message is out before the next step.
class TDescriptorBuffer : public std::streambuf {
 public:
  explicit TDescriptorBuffer(int fd) : fd_(fd) {}

 protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    std::streamsize done = 0;
    while (done < count) {
      const ssize_t n = ::write(fd_, text + done, static_cast<std::size_t>(count - done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += n;
    }
    return done;
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
  }

 private:
  int fd_;
};

void QtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtFatalMsg) std::cerr << "doz-cli: " << text.toStdString() << "\n";
}

}  // namespace

void TakeOverStderr() {
  const int own = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (own < 0 || null < 0 || ::dup2(null, STDERR_FILENO) < 0) {
    if (own >= 0) ::close(own);
    if (null >= 0) ::close(null);
    return;
  }
  ::close(null);
  gStderr = own;
  // Lives as long as std::cerr, which is flushed after every static object
  // has gone.
  std::cerr.rdbuf(new TDescriptorBuffer(own));
  qInstallMessageHandler(QtMessage);
}

int StderrDescriptor() { return gStderr; }

}  // namespace doz::cli
