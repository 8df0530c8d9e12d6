// ReadDataFile on any bytes: never a crash; what it accepts is a valid
// measurement that writes back and reads again the same.
#include <cstring>

#include "Doz_file.h"
#include "Fuzz_files.h"

namespace {

using doz::TRawData;

bool SameBandRecords(const TRawData& a, const TRawData& b) {
  for (int i = doz::BandFirstIndex(a.Band); i <= doz::BandLastIndex(a.Band); ++i) {
    if (std::strcmp(a.Data[i].data(), b.Data[i].data()) != 0) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace doz;
  static TRawData raw, back;
  ClearRawData(raw);
  raw.Band = 1;
  std::string serial;
  std::int32_t port = 1;
  const TDoZ_File file;
  if (!file.ReadDataFile(fuzz::InputFile(data, size), serial, port, &raw)) return 0;
  if (!IsValidBand(raw.Band) || port < 1 || port > 256) fuzz::Broken("accepted out of range");

  TSettingData setting;
  setting.CommPortNum = port;
  if (!file.WriteDataFile(fuzz::OutputFile(), serial, &setting, &raw)) fuzz::Broken("not written");
  ClearRawData(back);
  std::string serialBack;
  std::int32_t portBack = 0;
  if (!file.ReadDataFile(fuzz::OutputFile(), serialBack, portBack, &back)) {
    fuzz::Broken("written file unreadable");
  }
  if (serialBack != serial || portBack != port || back.Band != raw.Band ||
      back.DateTime != raw.DateTime || !SameBandRecords(raw, back)) {
    fuzz::Broken("round trip changed the measurement");
  }
  return 0;
}
