#include "App_dir.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace doz::platform {
namespace {

bool IsWritableDir(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::access(path.c_str(), W_OK) == 0;
}

// /usr/bin, /usr/local/bin, ~/.local/bin: an installed copy shares its folder
// with other programs, and root may write there, so its settings belong to
// the user's configuration.
bool IsInstallBinDir(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename();
  return name == "bin" || name == "sbin";
}

std::string HomeDir() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  const passwd* pw = ::getpwuid(::getuid());
  return pw && pw->pw_dir ? pw->pw_dir : "";
}

std::string ConfigDir() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  // Only an absolute path counts, as the XDG rules say.
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/Do-Z";
  return HomeDir() + "/.config/Do-Z";
}

}  // namespace

std::string ExecutableDir() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  const std::string exe(path, static_cast<std::size_t>(n));
  const std::size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : exe.substr(0, slash);
}

std::string ApplicationDir() { return ApplicationDirFor(ExecutableDir()); }

std::string ApplicationDirFor(const std::string& exeDir) {
  if (IsWritableDir(exeDir) && !IsInstallBinDir(exeDir)) return exeDir;
  const std::string dir = ConfigDir();
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return dir;
}

}  // namespace doz::platform
