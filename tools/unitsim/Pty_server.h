// Serves the simulated unit on the master side of a pseudo-terminal: reads
// commands, writes replies as the wire clock releases them, and outlives any
// number of opens and closes of the terminal by the application.
#pragma once

#include <signal.h>

#include <string>

#include "Line_pacer.h"
#include "Simulated_unit.h"

namespace doz::unitsim {

class TPtyServer {
 public:
  TPtyServer(TSimulatedUnit& unit, TLinePacer& pacer);
  ~TPtyServer();
  TPtyServer(const TPtyServer&) = delete;
  TPtyServer& operator=(const TPtyServer&) = delete;

  // Creates the terminal (and the link to it when linkPath is not empty).
  bool Open(const std::string& linkPath, std::string& error);
  const std::string& DevicePath() const { return devicePath_; }
  // Serves until stop is set (by a signal that waitMask lets through) or the
  // hang-up fault closes the terminal.
  void Run(const volatile sig_atomic_t& stop, const sigset_t& waitMask);

 private:
  void WatchOpens();
  bool MakeLink(const std::string& linkPath, std::string& error);
  void Close();
  bool SlaveGone(short revents, const sigset_t& waitMask);
  void AwaitOpen(const sigset_t& waitMask);
  void ReadCommands();
  void WriteDue();

  TSimulatedUnit& unit_;
  TLinePacer& pacer_;
  int master_ = -1;
  int watch_ = -1;  // inotify: tells when the terminal is opened
  std::string devicePath_;
  std::string linkPath_;
};

}  // namespace doz::unitsim
