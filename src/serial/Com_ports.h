// Which device a COM number opens on this machine, and whether it can be used.
#pragma once

#include <string>

namespace doz {

// The highest COM number the program opens; the lowest is 1.
constexpr int COM_MAX = 256;

// The user's own link for COM n: "ports/comN" in the application directory.
std::string ComLinkPath(const std::string& appDir, int comNumber);

// Device path of COM n (1..COM_MAX): a link "ports/comN" in the application
// directory first, else COM1-32 /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31,
// COM65-96 /dev/ttyACM0-31; empty when there is none.
std::string ComPortDevice(const std::string& appDir, int comNumber);

// The usual mapping by device name alone: "ttyS0" gives 1, "ttyUSB0" 33,
// "ttyACM31" 96; 0 for any other name. UsualDeviceName is its inverse, empty
// past COM96.
int UsualComNumber(const std::string& deviceName);
std::string UsualDeviceName(int comNumber);

enum class TDeviceState { Missing, Present, NoAccess };
TDeviceState DeviceState(const std::string& path);

}  // namespace doz
