#include "Com_ports.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace doz {
namespace {

struct TDeviceFamily {
  int firstCom;
  const char* prefix;
};

// Thirty-two COM numbers to each family, in this order from COM1.
constexpr TDeviceFamily kFamilies[] = {{1, "/dev/ttyS"}, {33, "/dev/ttyUSB"}, {65, "/dev/ttyACM"}};
constexpr int kFamilySize = 32;
constexpr int kLastCom = 256;

}  // namespace

std::string ComPortDevice(const std::string& appDir, int comNumber) {
  if (comNumber < 1 || comNumber > kLastCom) return {};
  if (!appDir.empty()) {
    // The entry itself is the answer even while its target is missing: the
    // user chose it, and opening it will say whether the device is there.
    const std::string link = appDir + "/ports/com" + std::to_string(comNumber);
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0) return link;
  }
  for (const TDeviceFamily& family : kFamilies)
    if (comNumber < family.firstCom + kFamilySize)
      return family.prefix + std::to_string(comNumber - family.firstCom);
  return {};
}

TDeviceState DeviceState(const std::string& path) {
  struct stat st {};
  if (path.empty()) return TDeviceState::Missing;
  if (stat(path.c_str(), &st) != 0) return errno == EACCES ? TDeviceState::NoAccess : TDeviceState::Missing;
  return access(path.c_str(), R_OK | W_OK) == 0 ? TDeviceState::Present : TDeviceState::NoAccess;
}

}  // namespace doz
