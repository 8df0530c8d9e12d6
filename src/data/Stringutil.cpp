#include "Stringutil.h"

namespace doz {

std::string FileNamePart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return path.substr(slash + 1);
}

std::string CutAtFirstDot(const std::string& text) { return text.substr(0, text.find('.')); }

std::string RemoveLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c != '\r' && c != '\n') out.push_back(c);
  }
  return out;
}

}  // namespace doz
