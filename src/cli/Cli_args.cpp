#include "Cli_args.h"

#include <algorithm>
#include <filesystem>

namespace doz::cli {

bool TCliArgs::Parse(const std::vector<std::string>& args, const std::vector<TCliOption>& known,
                     TPositional positional, std::string& reason) {
  help_ = std::find(args.begin(), args.end(), "--help") != args.end();
  if (help_) return true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      positional_.push_back(arg);
      continue;
    }
    const auto option = std::find_if(known.begin(), known.end(),
                                     [&arg](const TCliOption& o) { return o.name == arg; });
    if (option == known.end()) {
      reason = "unknown option " + arg;
      return false;
    }
    if (option->takesValue && i + 1 == args.size()) {
      reason = "option " + arg + " needs a value";
      return false;
    }
    values_[arg] = option->takesValue ? args[++i] : "";
  }
  if (positional_.size() < positional.min || positional_.size() > positional.max) {
    reason = positional_.size() < positional.min ? "missing argument" : "too many arguments";
    return false;
  }
  return true;
}

std::string TCliArgs::Value(const std::string& name) const {
  const auto it = values_.find(name);
  return it == values_.end() ? "" : it->second;
}

std::optional<int> ParseVerbArgs(TCliArgs& parsed, const std::vector<std::string>& args,
                                 const std::vector<TCliOption>& known,
                                 TPositional positional, const std::string& verb,
                                 const char* help, std::ostream& out, std::ostream& err) {
  std::string reason;
  if (!parsed.Parse(args, known, positional, reason)) {
    err << "doz-cli " << verb << ": " << reason << " (try 'doz-cli " << verb << " --help')\n";
    return EXIT_USAGE;
  }
  if (parsed.Help()) {
    out << help;
    return EXIT_OK;
  }
  return std::nullopt;
}

bool PathTaken(const std::string& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
}

}  // namespace doz::cli
