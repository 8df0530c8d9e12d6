// A private X server for one test program: Xvfb on the first free display,
// so the real window is drawn where a person would look, also on a machine
// with no display of its own.
#pragma once

#include <memory>
#include <string>

#include "Spawned_process.h"

namespace doz::test {

class TXvfbDisplay {
 public:
  // Starts Xvfb with one 1280 x 1024 screen of 24 bits; Name() is empty when
  // it could not be started (or is not installed).
  TXvfbDisplay();
  ~TXvfbDisplay();
  TXvfbDisplay(const TXvfbDisplay&) = delete;
  TXvfbDisplay& operator=(const TXvfbDisplay&) = delete;

  // ":N", as DISPLAY takes it.
  const std::string& Name() const { return name_; }

 private:
  std::unique_ptr<TSpawnedProcess> server_;
  std::string name_;
};

}  // namespace doz::test
