#include "Postgres_server.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "Spawned_process.h"

extern char** environ;

namespace doz::test {
namespace {

namespace fs = std::filesystem;

// The folder of initdb and pg_ctl: PATH, else Debian's newest version.
std::string ServerBinaries() {
  if (OnPath("initdb") && OnPath("pg_ctl")) return "";
  std::string best;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
    const std::string bin = entry.path().string() + "/bin";
    if (fs::exists(bin + "/initdb") && fs::exists(bin + "/pg_ctl") && bin > best) best = bin;
  }
  return best.empty() ? best : best + "/";
}

std::string RunuserPath() {
  for (const char* path : {"/usr/sbin/runuser", "/sbin/runuser", "/usr/bin/runuser"}) {
    if (access(path, X_OK) == 0) return path;
  }
  return "";
}

}  // namespace

TPostgresServer::TPostgresServer() {
  bin_ = ServerBinaries();
  if (bin_.empty() && !OnPath("initdb")) {
    why_ = "PostgreSQL server binaries (initdb, pg_ctl) not found; install postgresql";
    return;
  }
  asPostgres_ = geteuid() == 0;
  if (asPostgres_ && (!getpwnam("postgres") || RunuserPath().empty())) {
    why_ = "running as root needs the user postgres and runuser to start a server";
    return;
  }
  std::string pattern = "/tmp/doz-pg-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    why_ = "no temporary folder for the server";
    return;
  }
  folder_ = pattern;
  if (!MakeCluster() || !Start()) {
    why_ = "the test server did not start; see " + folder_ + "/log";
  }
}

TPostgresServer::~TPostgresServer() {
  Stop();
  if (folder_.empty()) return;
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

bool TPostgresServer::MakeCluster() {
  const std::string pwfile = folder_ + "/password";
  std::ofstream(pwfile) << kPassword << "\n";
  if (asPostgres_) {
    const passwd* user = getpwnam("postgres");
    if (chown(folder_.c_str(), user->pw_uid, user->pw_gid) != 0 ||
        chown(pwfile.c_str(), user->pw_uid, user->pw_gid) != 0) {
      return false;
    }
  }
  return Run({bin_ + "initdb", "-D", folder_ + "/data", "-U", "doz", "--pwfile=" + pwfile,
              "--auth=scram-sha-256", "--no-sync", "--locale=C", "-E", "UTF8"});
}

bool TPostgresServer::Start() {
  if (running_) return true;
  // No TCP at all, the socket in our own folder, no syncing of test data.
  running_ = Run({bin_ + "pg_ctl", "-D", folder_ + "/data", "-l", folder_ + "/log", "-w", "-t",
                  "30", "-o", "-k " + folder_ + " -c listen_addresses='' -F", "start"});
  return running_;
}

bool TPostgresServer::Stop() {
  if (!running_) return true;
  running_ =
      !Run({bin_ + "pg_ctl", "-D", folder_ + "/data", "-m", "fast", "-w", "-t", "30", "stop"});
  return !running_;
}

// Runs a server program (as postgres when root) in the folder, its output
// appended to the folder's commands.log. True when it exits with 0.
bool TPostgresServer::Run(const std::vector<std::string>& args) {
  std::vector<std::string> text;
  if (asPostgres_) text = {RunuserPath(), "-u", "postgres", "--"};
  text.insert(text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : text) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder_.c_str());
  const std::string log = folder_ + "/commands.log";
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  const bool spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return spawned && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

std::string TPostgresServer::Url(const std::string& database) const {
  return std::string("postgresql://doz:") + kPassword + "@/" + database + "?host=" + folder_;
}

std::string TPostgresServer::NewDatabase() {
  const std::string name = "store" + std::to_string(++databases_);
  PGconn* conn = PQconnectdb(Url("postgres").c_str());
  PGresult* result = PQexec(conn, ("CREATE DATABASE " + name).c_str());
  const bool made = PQresultStatus(result) == PGRES_COMMAND_OK;
  PQclear(result);
  PQfinish(conn);
  return made ? Url(name) : "";
}

TPostgresServer& SharedPostgres() {
  static TPostgresServer server;
  return server;
}

}  // namespace doz::test
