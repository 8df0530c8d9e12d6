// doz-cli's standard error carries its own messages and nothing else. The
// libraries it draws with write warnings of their own there ("QStandardPaths:
// XDG_RUNTIME_DIR not set", fontconfig's complaints about its set-up). Once
// taken over, descriptor 2 leads to /dev/null for the rest of the process,
// std::cerr writes to a copy of the original, and Qt's messages are dropped:
// only a fatal one, after which Qt ends the process, is told in doz-cli's
// own words.
#pragma once

namespace doz::cli {

// Once, at the start of the program; without a copy of descriptor 2 or
// without /dev/null it leaves standard error as it is.
void TakeOverStderr();

// The descriptor std::cerr writes to: 2 until TakeOverStderr.
int StderrDescriptor();

}  // namespace doz::cli
