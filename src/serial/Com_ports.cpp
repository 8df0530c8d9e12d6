#include "Com_ports.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace doz {
namespace {

struct TDeviceFamily {
  int firstCom;
  std::string_view prefix;
};

// Thirty-two COM numbers to each family, in this order from COM1.
constexpr TDeviceFamily kFamilies[] = {{1, "ttyS"}, {33, "ttyUSB"}, {65, "ttyACM"}};
constexpr int kFamilySize = 32;

}  // namespace

std::string ComLinkPath(const std::string& appDir, int comNumber) {
  return appDir + "/ports/com" + std::to_string(comNumber);
}

std::string ComPortDevice(const std::string& appDir, int comNumber) {
  if (comNumber < 1 || comNumber > COM_MAX) return {};
  if (!appDir.empty()) {
    // The entry itself is the answer even while its target is missing: the
    // user chose it, and opening it will say whether the device is there.
    const std::string link = ComLinkPath(appDir, comNumber);
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0) return link;
  }
  const std::string name = UsualDeviceName(comNumber);
  return name.empty() ? name : "/dev/" + name;
}

int UsualComNumber(const std::string& deviceName) {
  for (const TDeviceFamily& family : kFamilies) {
    if (deviceName.rfind(family.prefix, 0) != 0) continue;
    const std::string digits = deviceName.substr(family.prefix.size());
    // The kernel never pads: "ttyS01" is no name of its.
    if (digits.empty() || digits.size() > 2 || (digits.size() == 2 && digits[0] == '0') ||
        digits.find_first_not_of("0123456789") != std::string::npos)
      return 0;
    const int index = std::stoi(digits);
    return index < kFamilySize ? family.firstCom + index : 0;
  }
  return 0;
}

std::string UsualDeviceName(int comNumber) {
  if (comNumber < 1) return {};
  for (const TDeviceFamily& family : kFamilies)
    if (comNumber < family.firstCom + kFamilySize)
      return std::string(family.prefix) + std::to_string(comNumber - family.firstCom);
  return {};
}

TDeviceState DeviceState(const std::string& path) {
  struct stat st {};
  if (path.empty()) return TDeviceState::Missing;
  if (stat(path.c_str(), &st) != 0) return errno == EACCES ? TDeviceState::NoAccess : TDeviceState::Missing;
  return access(path.c_str(), R_OK | W_OK) == 0 ? TDeviceState::Present : TDeviceState::NoAccess;
}

}  // namespace doz
