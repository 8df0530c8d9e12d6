// doz-cli ports [--link DEVICE]: the serial devices of this machine and the
// COM number that opens each; --link gives a device a number of its own.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Serial_devices.h"

namespace doz::cli {

// args: the arguments after the verb. Looks at this machine and the
// program's folder.
int RunPorts(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunPortsWith(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const TSerialRoots& roots);

// The list as aligned columns under a head line, "-" for what is unknown.
std::string PortsTable(const std::vector<TSerialDevice>& devices);

}  // namespace doz::cli
