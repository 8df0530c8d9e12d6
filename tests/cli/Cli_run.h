// doz-cli for the tests: its verbs run here with captured streams, or the
// program itself with its output in the files "stdout" and "stderr" of outDir.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace doz::test {

struct TCliRun {
  int code;
  std::string out;
  std::string err;
};

bool Contains(const std::string& text, const std::string& part);
TCliRun RunCliHere(const std::vector<std::string>& args);

// Started in workDir when given, without the environment variables in
// `unset` and with the "NAME=VALUE" entries of `set`; -1 when it could not
// be started.
pid_t SpawnCli(const std::vector<std::string>& args, const std::string& outDir,
               const std::string& workDir = {}, const std::vector<std::string>& unset = {},
               const std::vector<std::string>& set = {});
// Its exit code; -1 when it did not exit by itself.
int WaitCli(pid_t pid);
TCliRun RunCliProgram(const std::vector<std::string>& args, const std::string& outDir,
                      const std::vector<std::string>& unset = {},
                      const std::vector<std::string>& set = {});

}  // namespace doz::test
