#include "Cli_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <sstream>

#include "Cli_main.h"
#include "Temp_dir.h"

extern char** environ;

namespace doz::test {
namespace {

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

// This process's environment less `unset`, with the entries of `set` in place
// of those of their names.
std::vector<char*> EnvironmentWith(std::vector<std::string> unset, std::vector<std::string>& set) {
  for (const std::string& entry : set) unset.push_back(NameOf(entry));
  std::vector<char*> env;
  for (char** entry = environ; *entry; ++entry)
    if (std::find(unset.begin(), unset.end(), NameOf(*entry)) == unset.end()) env.push_back(*entry);
  for (std::string& entry : set) env.push_back(entry.data());
  env.push_back(nullptr);
  return env;
}

}  // namespace

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TCliRun RunCliHere(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = cli::RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

pid_t SpawnCli(const std::vector<std::string>& args, const std::string& outDir,
               const std::string& workDir, const std::vector<std::string>& unset,
               const std::vector<std::string>& set) {
  std::vector<std::string> entries = set;
  std::vector<std::string> text = {DOZ_CLI_EXE};
  text.insert(text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : text) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<char*> env = EnvironmentWith(unset, entries);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
  const int flags = O_WRONLY | O_CREAT | O_TRUNC;
  posix_spawn_file_actions_addopen(&actions, 1, (outDir + "/stdout").c_str(), flags, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, (outDir + "/stderr").c_str(), flags, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int WaitCli(pid_t pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TCliRun RunCliProgram(const std::vector<std::string>& args, const std::string& outDir,
                      const std::vector<std::string>& unset, const std::vector<std::string>& set) {
  const int code = WaitCli(SpawnCli(args, outDir, {}, unset, set));
  if (code < 0) return {-1, "", ""};
  return {code, ReadBytes(outDir + "/stdout"), ReadBytes(outDir + "/stderr")};
}

}  // namespace doz::test
