#include "Simulated_unit.h"

#include <cstdio>

#include "Doz_setting.h"
#include "Point_record.h"

namespace doz::unitsim {
namespace {

constexpr std::size_t kMaxCommand = 32;  // longer lines are cut, as a small input buffer would
constexpr int kCrPosition = 10;          // where the framing fault puts its carriage return

// The key a command is counted and muted under.
std::string KeyOf(const std::string& command) {
  if (command == "MS0" || command == "MS1") return "MSn";
  if (command.size() == 2 && command[0] == 'M' && command[1] >= '0' && command[1] <= '9') return "Mn";
  return command;
}

std::string Hex4(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value) & 0xFFFF);
  return text;
}

}  // namespace

TSimulatedUnit::TSimulatedUnit(const TUnitsimOptions& options)
    : options_(options), model_(options.Seed, options.Device) {}

void TSimulatedUnit::Receive(std::string_view bytes) {
  for (const char c : bytes) {
    if (c == '\r') {
      Execute(line_);
      line_.clear();
    } else if (c != '\n' && line_.size() < kMaxCommand) {
      line_ += c;
    }
  }
}

void TSimulatedUnit::Consume(std::size_t count) {
  sent_ += std::min(count, out_.size() - sent_);
  if (sent_ == out_.size() && !hangupAt_) {
    out_.clear();
    sent_ = 0;
  }
}

void TSimulatedUnit::LineClosed() {
  line_.clear();
  out_.clear();
  sent_ = 0;
  hangupAt_.reset();
  streaming_ = false;
}

bool TSimulatedUnit::Muted(const std::string& key) {
  const int occurrence = ++seen_[key];
  const auto mute = options_.Faults.Mute.find(key);
  return mute != options_.Faults.Mute.end() && occurrence >= mute->second;
}

void TSimulatedUnit::Execute(const std::string& command) {
  if (OnCommand) OnCommand(command);
  const std::string key = KeyOf(command);
  // A running sweep listens for ME only.
  if (Streaming() && key != "ME") return;
  if (Muted(key)) return;
  const TFaults& faults = options_.Faults;
  if (key == "Mn") {
    StartSweep(command[1] - '0' + 1);
  } else if (key == "ME") {
    StopSweep();
  } else if (key == "MSn") {
    averaging_ = command == "MS1";
    Reply("OK");
  } else {
    const std::map<std::string, std::string> answers = {
        {"?", "OK"}, {"U?", faults.Identity}, {"V?", options_.Version},
        {"SN?", options_.Serial}, {"M?", faults.Uncalibrated ? "1" : "0"}};
    const auto answer = answers.find(key);
    Reply(answer != answers.end() ? answer->second : "NG");
  }
}

void TSimulatedUnit::StopSweep() {
  // Bytes already on the line stay sent; the rest of the sweep is dropped.
  out_.erase(sent_);
  hangupAt_.reset();
  streaming_ = false;
  Reply("OK");
}

void TSimulatedUnit::StartSweep(int band) {
  const TFaults& faults = options_.Faults;
  if (faults.RefuseStart) {
    Reply("NG00");
    return;
  }
  Reply(Hex4(faults.PointCount.value_or(BandDataNum(band))));
  streaming_ = true;
  AppendPoints(band);
  ++sweeps_;
}

void TSimulatedUnit::AppendPoints(int band) {
  const TFaults& faults = options_.Faults;
  // Each sweep of a run has its own noise, the same for the same seed.
  std::mt19937_64 noise(options_.Seed ^ (0x9E3779B97F4A7C15ULL * (sweeps_ + 1)));
  const int first = BandFirstIndex(band);
  const int points = BandDataNum(band);
  for (int n = 0; n < points; ++n) {
    if (faults.HangupAfter && n >= *faults.HangupAfter) {
      hangupAt_ = out_.size();
      return;
    }
    if (faults.SilentAfter && n >= *faults.SilentAfter) return;
    const double hertz = GridFrequency(first + n);
    const TMeasuredPoint p = model_.Measure(hertz, averaging_, noise);
    std::string record = EncodeRecord(p.Ohms, p.Degrees, hertz);
    if (faults.CrInPoint && *faults.CrInPoint == n + 1) record[kCrPosition] = '\r';
    Reply(record);
  }
  Reply(faults.EndMark);
}

}  // namespace doz::unitsim
