// File-name helpers for the default names of the save and export commands.
#pragma once

#include <string>

namespace doz {

// Text after the last "/"; empty when there is none or the text ends with it.
std::string FileNamePart(const std::string& path);
// Text before the first "."; the whole text when there is none.
std::string CutAtFirstDot(const std::string& text);
// Deletes every CR and LF character wherever it stands.
std::string RemoveLineEnds(const std::string& text);

}  // namespace doz
