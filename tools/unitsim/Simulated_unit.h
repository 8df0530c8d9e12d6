// What the simulated unit says: commands in, replies and sweeps out, with the
// faults of its options. Knows nothing of terminals or time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "Impedance_model.h"
#include "Unitsim_options.h"

namespace doz::unitsim {

class TSimulatedUnit {
 public:
  explicit TSimulatedUnit(const TUnitsimOptions& options);

  // Bytes from the line; each carriage return completes a command.
  void Receive(std::string_view bytes);
  // Bytes still to be sent, oldest first.
  std::string_view Pending() const { return std::string_view(out_).substr(sent_); }
  void Consume(std::size_t count);
  // The hang-up fault's moment: every byte before it has been sent.
  bool HangupDue() const { return hangupAt_ && sent_ >= *hangupAt_; }
  // No one holds the line any more: whatever was due to them is dropped.
  void LineClosed();

  // Told every command as it completes, before it is answered.
  std::function<void(const std::string& command)> OnCommand;

  bool Averaging() const { return averaging_; }
  bool Streaming() const { return streaming_ && sent_ < out_.size(); }

 private:
  void Execute(const std::string& command);
  bool Muted(const std::string& key);
  void Reply(const std::string& text) { out_ += text + "\r"; }
  void StartSweep(int band);
  void AppendPoints(int band);
  void StopSweep();

  const TUnitsimOptions& options_;
  TImpedanceModel model_;
  std::string line_;
  std::string out_;
  std::size_t sent_ = 0;
  std::optional<std::size_t> hangupAt_;  // offset in out_
  bool streaming_ = false;
  bool averaging_ = false;
  std::uint64_t sweeps_ = 0;
  std::map<std::string, int> seen_;
};

}  // namespace doz::unitsim
