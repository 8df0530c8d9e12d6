// Where the program keeps its settings file and its ports/ folder: beside the
// executable when that folder is writable and not an installation's bin
// folder, else in the user's configuration folder.
#pragma once

#include <string>

namespace doz::platform {

// Folder of the running executable, without a trailing "/"; empty if unknown.
std::string ExecutableDir();
// ApplicationDirFor(ExecutableDir()).
std::string ApplicationDir();
// exeDir when it is a writable folder not named bin or sbin (a build tree),
// else $XDG_CONFIG_HOME/Do-Z or ~/.config/Do-Z, created when missing.
std::string ApplicationDirFor(const std::string& exeDir);

}  // namespace doz::platform
