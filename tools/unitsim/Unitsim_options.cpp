#include "Unitsim_options.h"

#include <charconv>
#include <set>

namespace doz::unitsim {
namespace {

const std::set<std::string> kCommandKeys = {"?", "U?", "V?", "SN?", "M?", "MSn", "Mn", "ME"};

bool ToCount(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return !text.empty() && result.ec == std::errc() && result.ptr == end && value >= 0;
}

bool ToSeed(const std::string& text, std::uint64_t& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

bool SetCount(const std::string& name, const std::string& value, std::optional<int>& to,
              std::string& error) {
  int n = 0;
  if (!ToCount(value, n)) {
    error = "--fault " + name + " needs a whole number, got '" + value + "'";
    return false;
  }
  to = n;
  return true;
}

bool ParseMute(const std::string& value, std::map<std::string, int>& mute, std::string& error) {
  const std::size_t at = value.find('@');
  const std::string key = value.substr(0, at);
  int from = 1;
  if (!kCommandKeys.count(key) ||
      (at != std::string::npos && (!ToCount(value.substr(at + 1), from) || from < 1))) {
    error = "--fault mute=CMD[@N]: CMD is one of ? U? V? SN? M? MSn Mn ME and N >= 1, got '" +
            value + "'";
    return false;
  }
  mute[key] = from;
  return true;
}

}  // namespace

bool TUnitsimOptions::ParseFault(const std::string& text, std::string& error) {
  const std::size_t eq = text.find('=');
  const std::string name = text.substr(0, eq);
  const bool hasValue = eq != std::string::npos;
  const std::string value = hasValue ? text.substr(eq + 1) : std::string();
  if (!hasValue && name == "uncalibrated") return Faults.Uncalibrated = true;
  if (!hasValue && name == "refuse-start") return Faults.RefuseStart = true;
  if (hasValue && name == "mute") return ParseMute(value, Faults.Mute, error);
  if (hasValue && name == "identity") return Faults.Identity = value, true;
  if (hasValue && name == "end-mark") return Faults.EndMark = value, true;
  if (hasValue && name == "point-count") return SetCount(name, value, Faults.PointCount, error);
  if (hasValue && name == "silent-after") return SetCount(name, value, Faults.SilentAfter, error);
  if (hasValue && name == "cr-in-point") return SetCount(name, value, Faults.CrInPoint, error);
  if (hasValue && name == "hangup-after") return SetCount(name, value, Faults.HangupAfter, error);
  error = "unknown fault '" + text + "' (see --help)";
  return false;
}

bool TUnitsimOptions::ParseCircuit(const std::string& text, std::string& error) {
  if (text == "open" || text == "short") {
    Device.Kind = text == "open" ? TDevice::TKind::Open : TDevice::TKind::Short;
    return true;
  }
  Device.Circuit = analysis::TCircuit::Parse(text, error);
  if (!Device.Circuit) return error = "--circuit: " + error, false;
  Device.Kind = TDevice::TKind::Circuit;
  return true;
}

bool TUnitsimOptions::ParseLeads(const std::string& text, std::string& error) {
  const auto model = std::get<analysis::TCircuitModel>(analysis::TCircuitModel::Parse("R-L-C"));
  const auto values = analysis::ParseValues(text, model, error);
  if (!values || text.empty()) {
    error = "--leads R=OHMS,L=HENRY,C=FARAD (each at most once, above 0): '" + text + "'";
    return false;
  }
  Device.Leads = TLeads{(*values)[0].value_or(0.0), (*values)[1].value_or(0.0), (*values)[2].value_or(0.0)};
  return true;
}

bool TUnitsimOptions::Parse(const std::vector<std::string>& args, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takesValue = arg == "--seed" || arg == "--link" || arg == "--trace" ||
                            arg == "--fault" || arg == "--unit-version" || arg == "--unit-serial" ||
                            arg == "--circuit" || arg == "--leads" || arg == "--burst";
    if (takesValue && i + 1 >= args.size()) {
      error = arg + " needs a value";
      return false;
    }
    if (arg == "--help" || arg == "-h") {
      Help = true;
    } else if (arg == "--version") {
      ShowVersion = true;
    } else if (arg == "--fast") {
      Fast = true;
    } else if (arg == "--seed") {
      if (!ToSeed(args[++i], Seed)) return error = "--seed needs a whole number", false;
    } else if (arg == "--burst") {
      if (!ToCount(args[++i], BurstMs)) return error = "--burst needs a whole number of ms", false;
    } else if (arg == "--link") {
      Link = args[++i];
    } else if (arg == "--trace") {
      Trace = args[++i];
    } else if (arg == "--unit-version") {
      Version = args[++i];
    } else if (arg == "--unit-serial") {
      Serial = args[++i];
    } else if (arg == "--circuit") {
      if (!ParseCircuit(args[++i], error)) return false;
    } else if (arg == "--leads") {
      if (!ParseLeads(args[++i], error)) return false;
    } else if (arg == "--fault") {
      if (!ParseFault(args[++i], error)) return false;
    } else {
      error = "unknown option '" + arg + "' (see --help)";
      return false;
    }
  }
  return true;
}

std::string TUnitsimOptions::HelpText() {
  return R"(Usage: doz-unitsim [OPTION]...
Acts as a Do-Z measuring unit on a pseudo-terminal. The first line of output
is the terminal's device path; open it at 9600 baud, 8-N-1. Serves until
SIGTERM or SIGINT; the application may close and reopen the port at will.

Options:
  --seed N              circuit and noise of the simulated speaker (default 1);
                        the n-th sweep of a run is the same for the same seed
                        (with --circuit: the noise only)
  --circuit MODEL:NAME=VALUE,...
                        measure this circuit instead of the speaker, with the
                        same noise; values in ohms, henries and farads, with
                        the SI prefixes f p n u m k M G allowed. MODEL is one
                        of doz-cli analyze's presets (rl rc transformer rlc
                        rlc-parallel coil pickup bvd speaker speaker-lossy,
                        with their parameter names) or a circuit string such
                        as p(R1-L1,C1,R2): elements R, L, C joined by - in
                        series and p(...) in parallel; or open or short, the
                        ends of the leads left open or shorted together;
                        for example coil:R=6800,L=2.5,C=400p. A record carries
                        |Z| in whole ohms from 0 to 16777215 and the phase in
                        hundredths of a degree from -327.68 to 327.67: larger
                        values are sent as those limits, and |Z| below a few
                        ohms loses its precision to the rounding
  --leads R=OHMS,L=HENRY,C=FARAD
                        measure through test leads: R and L in series with
                        the device, C across its terminals (any of the three,
                        SI prefixes allowed), as compensation sees them
  --fast                no pacing: bytes go out as fast as the terminal takes
                        them (default: the wire time of 9600 baud, 10 bits a byte)
  --burst MS            paced bytes leave in bursts at least MS milliseconds
                        apart, as a USB adapter hands them over (default 2);
                        0: each byte at its own wire time, as a motherboard's
                        UART hands them over one at a time
  --link PATH           make PATH a symbolic link to the device (for example
                        APPDIR/ports/com1); removed on exit
  --trace FILE          append every command heard to FILE, one a line, after
                        the monotonic clock's seconds (a failed test's record)
  --unit-version TEXT   reply to "V?" (default 1.10)
  --unit-serial TEXT    reply to "SN?" (default 0001)
  --fault NAME[=VALUE]  inject a fault; repeatable:
      mute=CMD[@N]      leave CMD unanswered from its N-th time on (default 1);
                        CMD is ? U? V? SN? M? MSn (MS0, MS1) Mn (M0-M9) or ME;
                        a muted ME also leaves a running sweep running
      identity=TEXT     answer "U?" with TEXT instead of Do-Z (e.g. Do-ZX)
      uncalibrated      answer "M?" with 1
      refuse-start      answer M0-M9 with NG00 and send no sweep
      point-count=N     announce N points (the sweep still sends the band's)
      silent-after=K    send K points, then nothing (no end mark)
      cr-in-point=K     point K (from 1) has a carriage return as its 11th byte
      end-mark=TEXT     end the sweep with TEXT instead of OK (e.g. NG)
      hangup-after=K    after K points (and 0.2 s to read them) close the
                        terminal, as a pulled adapter would, and exit with 0
  --help                this text
  --version             print the program's version and exit

Commands end with a carriage return; replies end with one:
  ?  -> OK   U? -> Do-Z   V? -> 4 chars   SN? -> 4 chars   M? -> 0
  MS0, MS1 (unit averaging off, on) -> OK
  M0-M9 (band 1-10) -> the point count in 4 hex digits, then one record of
      20 hex digits and CR per point, lowest frequency first, then OK
  ME -> OK, and a running sweep stops at once
While a sweep runs every command but ME is ignored; unknown commands get NG.

Example (a shell; the device answers "Do-Z" and a carriage return):
  doz-unitsim > /tmp/unit.txt &
  sleep 0.5; dev=$(head -n 1 /tmp/unit.txt)
  exec 3<>"$dev"; stty -F "$dev" raw -echo
  printf 'U?\r' >&3; timeout 1 head -c 5 <&3 | od -c
  exec 3<&-; kill $!
)";
}

}  // namespace doz::unitsim
