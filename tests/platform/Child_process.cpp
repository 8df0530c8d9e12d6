#include "Child_process.h"

#include <csignal>
#include <filesystem>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

namespace doz::test {
namespace {

constexpr int EXIT_TRUE = 10;
constexpr int EXIT_FALSE = 11;
constexpr uid_t NOBODY = 65534;

std::optional<bool> RunWithSetup(const std::function<bool()>& setup,
                                 const std::function<bool()>& body) {
  const pid_t pid = ::fork();
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    if (!setup()) ::_exit(1);
    ::_exit(body() ? EXIT_TRUE : EXIT_FALSE);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return std::nullopt;
  if (WEXITSTATUS(status) == EXIT_TRUE) return true;
  if (WEXITSTATUS(status) == EXIT_FALSE) return false;
  return std::nullopt;
}

}  // namespace

std::optional<bool> RunInChild(const std::function<bool()>& body) {
  return RunWithSetup([] { return true; }, body);
}

std::optional<bool> RunUnprivileged(const std::function<bool()>& body) {
  return RunWithSetup(
      [] {
        if (::geteuid() != 0) return true;
        return ::setgroups(0, nullptr) == 0 && ::setgid(NOBODY) == 0 && ::setuid(NOBODY) == 0;
      },
      body);
}

std::optional<bool> RunWithFileSizeLimit(std::size_t bytes, const std::function<bool()>& body) {
  return RunWithSetup(
      [bytes] {
        std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
        const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
      },
      body);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace doz::test
