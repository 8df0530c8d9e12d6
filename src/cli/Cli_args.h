// Command-line arguments of one doz-cli verb: flags, options with a value and
// positional arguments, plus the shared handling of "--help" and of usage
// errors.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace doz::cli {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

struct TCliOption {
  std::string name;  // "-o", "--force"
  bool takesValue;
};

// How many positional arguments a verb takes: exactly one number, or a range.
struct TPositional {
  TPositional(std::size_t count) : min(count), max(count) {}
  TPositional(std::size_t least, std::size_t most) : min(least), max(most) {}
  std::size_t min;
  std::size_t max;
};

class TCliArgs {
 public:
  // False with a one-line reason for an unknown option, an option without its
  // value or a wrong number of positional arguments. "--help" anywhere makes
  // every other check moot.
  bool Parse(const std::vector<std::string>& args, const std::vector<TCliOption>& known,
             TPositional positional, std::string& reason);

  bool Help() const { return help_; }
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  // The option's value; empty when absent or a flag.
  std::string Value(const std::string& name) const;
  const std::vector<std::string>& Positional() const { return positional_; }

 private:
  bool help_ = false;
  std::map<std::string, std::string> values_;
  std::vector<std::string> positional_;
};

// Parses a verb's arguments. Returns the exit code when the verb is done
// already (its help printed, or a usage error reported), else nothing.
std::optional<int> ParseVerbArgs(TCliArgs& parsed, const std::vector<std::string>& args,
                                 const std::vector<TCliOption>& known,
                                 TPositional positional, const std::string& verb,
                                 const char* help, std::ostream& out, std::ostream& err);

// Whether something (a file, a folder, even a dangling link) has the name:
// output is never written over it without --force.
bool PathTaken(const std::string& path);

}  // namespace doz::cli
