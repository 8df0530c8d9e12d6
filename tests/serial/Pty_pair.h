// A pseudo-terminal for driver tests: the test holds the master side and
// plays the device; the driver opens the slave by its path.
#pragma once

#include <string>
#include <string_view>

namespace doz::test {

class TPtyPair {
 public:
  TPtyPair();
  ~TPtyPair();
  TPtyPair(const TPtyPair&) = delete;
  TPtyPair& operator=(const TPtyPair&) = delete;

  const std::string& SlavePath() const { return slavePath_; }
  int Master() const { return master_; }
  // Writes all of text to the slave's input.
  void Send(std::string_view text);
  // What the slave side sent, waiting up to waitMs for the first byte.
  std::string Received(int waitMs);
  // Waits until the slave's input queue holds count bytes (the terminal hands
  // bytes over asynchronously); false after 2 s.
  static bool WaitQueued(int slaveFd, int count);
  // Sends text and waits until it all sits in the slave's input queue.
  bool SendQueued(int slaveFd, std::string_view text);
  // The device goes away, as a pulled adapter would.
  void CloseMaster();

 private:
  int master_ = -1;
  std::string slavePath_;
};

// The output rate the kernel holds for an open terminal, in bits per second.
unsigned LineRate(int fd);

}  // namespace doz::test
