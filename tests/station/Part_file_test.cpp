// The part's measurement file: a name of safe characters only, inside the
// batch folder, written whole and never over another file.
#include "Part_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "Doz_file.h"
#include "Sha256.h"
#include "Temp_dir.h"
#include "Utc_time.h"

namespace doz::station {
namespace {

namespace fs = std::filesystem;

TEST(PartFileName, KeepsOnlySafeCharactersOfTheSerial) {
  const std::pair<std::string, std::string> serials[] = {
      {"SN-0001_b", "SN-0001_b"},
      {"../../x", "______x"},
      {"a/b\\c", "a_b_c"},
      {"x'); drop table results; --", "x____drop_table_results__--"},
      {"部品7", "__7"},
      {"tab\there", "tab_here"},
      {std::string(100, 'A'), std::string(kMaxSerialChars, 'A')},
  };
  for (const auto& [serial, safe] : serials) EXPECT_EQ(SafeSerial(serial), safe) << serial;
  const auto when = *results::ParseUtc("2025-03-01T08:15:30.250Z");
  EXPECT_TRUE(
      std::regex_match(PartFileName("SN-1", when), std::regex(R"(SN-1_2025030[12]-\d{6}\.DTA)")));
  EXPECT_TRUE(
      std::regex_match(PartFileName("SN-1", when, 3), std::regex(R"(SN-1_\d{8}-\d{6}_3\.DTA)")));
}

TEST(PartFile, IsWrittenWholeUnderANameNoOtherFileHas) {
  test::TTempDir dir;
  TRawData raw;
  ClearRawData(raw);
  raw.Band = 10;
  raw.DateTime = "2025/03/01 17:15:30";
  for (int slot = BandFirstIndex(10); slot <= BandLastIndex(10); ++slot)
    std::snprintf(raw.Data[slot].data(), raw.Data[slot].size(), "%020d", slot);
  const std::string folder = dir.File("batch/7");
  const auto when = results::UtcNow();
  std::vector<std::string> names;
  for (const std::string serial : {"../../x", "../../x", "../../x"}) {
    const TPartSave save = SavePart(folder, serial, when, "0001", 5, raw);
    ASSERT_EQ(save.Fault, TSaveFault::None) << SaveFaultText(save);
    EXPECT_EQ(fs::path(save.Path).parent_path(), fs::path(folder));
    EXPECT_EQ(save.Sha256, *results::FileSha256(save.Path));
    names.push_back(save.Name);
  }
  EXPECT_EQ(names[1], PartFileName("../../x", when, 2));
  EXPECT_EQ(names[2], PartFileName("../../x", when, 3));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3)
      << "no file left behind";
  TRawData back;
  ClearRawData(back);
  std::string serial;
  std::int32_t port = 0;
  ASSERT_TRUE(TDoZ_File().ReadDataFile(folder + "/" + names[0], serial, port, &back));
  EXPECT_EQ(serial, "0001");
  EXPECT_EQ(port, 5);
  EXPECT_EQ(back.Data, raw.Data);

  test::WriteBytes(dir.File("plain"), "");
  const TPartSave blocked = SavePart(dir.File("plain/sub"), "A", when, "0001", 1, raw);
  EXPECT_EQ(blocked.Fault, TSaveFault::Folder);
  EXPECT_FALSE(SaveFaultText(blocked).empty());
}

}  // namespace
}  // namespace doz::station
