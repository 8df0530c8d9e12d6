// Runs a piece of a test in a forked child under conditions the test process
// itself must not take on: without root rights, or with a file size limit
// that makes writes fail as on a full disk.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace doz::test {

// What body returned in the child; nothing when the child could not set up
// its conditions or died.
std::optional<bool> RunInChild(const std::function<bool()>& body);
// The child gives up root first (it becomes "nobody"), so folder permissions
// apply to it.
std::optional<bool> RunUnprivileged(const std::function<bool()>& body);
// Every file the child writes is cut off after `bytes` bytes.
std::optional<bool> RunWithFileSizeLimit(std::size_t bytes, const std::function<bool()>& body);

// Names in a folder, sorted; shows leftover temporary files.
std::vector<std::string> FolderEntries(const std::string& folder);

}  // namespace doz::test
