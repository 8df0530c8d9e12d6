// LoadSetting on any bytes: never a crash; a rejected file leaves the record
// alone, an accepted one holds values in range and saves and loads the same.
#include "Doz_file.h"
#include "Fuzz_files.h"

namespace {

using doz::TSettingData;

bool Same(const TSettingData& a, const TSettingData& b) {
  return a.CommPortNum == b.CommPortNum && a.PenColor_R == b.PenColor_R &&
         a.PenColor_Theta == b.PenColor_Theta && a.PenColor_R_Ref == b.PenColor_R_Ref &&
         a.PenColor_Theta_Ref == b.PenColor_Theta_Ref && a.pstr == b.pstr && a.band == b.band &&
         a.fronly == b.fronly && a.fwide == b.fwide && a.fave3 == b.fave3 && a.flog == b.flog &&
         a.faveM == b.faveM;
}

bool InRange(const TSettingData& s, const doz::TWindowPos& pos) {
  return s.CommPortNum >= 1 && s.CommPortNum <= 256 && doz::IsValidBand(s.band) && pos.top >= 1 &&
         pos.left >= 1 && pos.width >= 1 && pos.height >= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace doz;
  const TSettingData defaults;
  TSettingData setting;
  TWindowPos pos;
  const TDoZ_File file;
  if (!file.LoadSetting(fuzz::InputFile(data, size), &setting, pos)) {
    if (!Same(setting, defaults)) fuzz::Broken("rejected file changed the record");
    return 0;
  }
  if (!InRange(setting, pos)) fuzz::Broken("accepted out of range");
  if (!file.SaveSetting(fuzz::OutputFile(), &setting, pos)) fuzz::Broken("not saved");
  TSettingData back;
  TWindowPos posBack;
  if (!file.LoadSetting(fuzz::OutputFile(), &back, posBack) || !Same(back, setting) ||
      posBack.top != pos.top || posBack.left != pos.left || posBack.width != pos.width ||
      posBack.height != pos.height) {
    fuzz::Broken("round trip changed the settings");
  }
  return 0;
}
