// Scratch files of a fuzz target: created once per process, rewritten for
// every input, removed when the process ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace doz::fuzz {

// Path of the file that holds the current input.
const std::string& InputFile(const std::uint8_t* data, std::size_t size);
// A second path in the same folder, for writing a file back.
const std::string& OutputFile();
// Stops the process so that libFuzzer reports the input that broke a rule.
[[noreturn]] void Broken(const char* rule);

}  // namespace doz::fuzz
