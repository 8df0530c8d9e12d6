// Tests on a driver port that is open on a pseudo-terminal; the test plays
// the device on the master side.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Pty_pair.h"
#include "Serialport.h"

namespace doz::test {

class TPtyPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port.SetPortName(pty.SlavePath());
    ASSERT_TRUE(port.Connect());
  }
  // Puts text in the driver's receive queue and waits until it is there.
  void Queue(const std::string& text) { ASSERT_TRUE(pty.SendQueued(port.Handle(), text)); }

  TPtyPair pty;
  TSerialPort port;
};

}  // namespace doz::test
