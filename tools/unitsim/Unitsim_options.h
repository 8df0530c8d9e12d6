// Command line of the simulated unit: seed, pacing, device link, the circuit
// it measures, the unit's texts and the faults it injects.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Circuit.h"
#include "Impedance_model.h"

namespace doz::unitsim {

// Every fault the application has an answer for; all off by default.
struct TFaults {
  // Command key ("?", "U?", "V?", "SN?", "M?", "MSn", "Mn", "ME") -> the
  // occurrence (from 1) from which the command goes unanswered.
  std::map<std::string, int> Mute;
  std::string Identity = "Do-Z";
  bool Uncalibrated = false;
  bool RefuseStart = false;
  std::optional<int> PointCount;   // announced instead of the band's count
  std::optional<int> SilentAfter;  // points sent before the unit falls silent
  std::optional<int> CrInPoint;    // point (from 1) with a CR inside its record
  std::string EndMark = "OK";
  std::optional<int> HangupAfter;  // points sent before the unit vanishes
};

class TUnitsimOptions {
 public:
  // False with a message in error for anything not understood.
  bool Parse(const std::vector<std::string>& args, std::string& error);
  static std::string HelpText();

  std::uint64_t Seed = 1;
  bool Fast = false;
  // Paced bytes leave in bursts at least this far apart, as a USB adapter
  // hands them over; 0: each byte at its own wire time, as a UART does.
  int BurstMs = 2;
  bool Help = false;
  bool ShowVersion = false;  // --version: the program's own release
  std::string Link;
  std::string Trace;  // where the commands heard are logged; empty: nowhere
  std::string Version = "1.10";
  std::string Serial = "0001";
  // Measured instead of the loudspeaker-like curve, and the leads between.
  TDevice Device;
  TFaults Faults;

 private:
  bool ParseFault(const std::string& text, std::string& error);
  bool ParseCircuit(const std::string& text, std::string& error);
  bool ParseLeads(const std::string& text, std::string& error);
};

}  // namespace doz::unitsim
