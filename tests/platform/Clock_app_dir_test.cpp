#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <regex>
#include <thread>
#include <vector>

#include "App_dir.h"
#include "Clock.h"
#include "Temp_dir.h"

namespace doz::platform {
namespace {

using test::TTempDir;

TEST(Clock, TickCountCountsMilliseconds) {
  const std::uint64_t a = TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const std::uint64_t b = TickCount();
  EXPECT_GE(b - a, 50u);
  EXPECT_LT(b - a, 2000u);
}

// Sets or clears environment variables for one test and restores them
// (and the time zone taken from TZ).
class TEnvironment {
 public:
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? old : "", old != nullptr});
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~TEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->had) {
        ::setenv(it->name.c_str(), it->value.c_str(), 1);
      } else {
        ::unsetenv(it->name.c_str());
      }
    }
    ::tzset();
  }

 private:
  struct TSaved {
    std::string name, value;
    bool had;
  };
  std::vector<TSaved> saved_;
};

TEST(Clock, DateTimeTextIsLocal24HourTime) {
  TEnvironment env;
  env.Set("TZ", "XST-13");  // 13 hours ahead of UTC: the text must be local time
  ::tzset();
  const std::time_t before = std::time(nullptr);
  const std::string text = NowDateTimeText();
  const std::time_t after = std::time(nullptr);
  std::smatch m;
  ASSERT_TRUE(std::regex_match(text, m, std::regex(R"((\d{4})/(\d\d)/(\d\d) (\d\d):(\d\d):(\d\d))")))
      << text;
  std::tm fields{};
  fields.tm_year = std::stoi(m[1]) - 1900;
  fields.tm_mon = std::stoi(m[2]) - 1;
  fields.tm_mday = std::stoi(m[3]);
  fields.tm_hour = std::stoi(m[4]);
  fields.tm_min = std::stoi(m[5]);
  fields.tm_sec = std::stoi(m[6]);
  const std::time_t shown = ::timegm(&fields) - 13 * 3600;
  EXPECT_GE(shown, before);
  EXPECT_LE(shown, after);
}

TEST(AppDir, ExecutableDirIsTheFolderOfThisTest) {
  const std::string dir = ExecutableDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), '/');
  EXPECT_TRUE(std::filesystem::is_regular_file(dir + "/doz-test-platform"));
  EXPECT_EQ(ApplicationDir(), dir);  // the build folder is writable
}

TEST(AppDir, FallsBackToTheConfigurationFolderAndCreatesIt) {
  TTempDir tmp;
  TEnvironment env;
  const std::string unusable = tmp.File("no-such-folder");
  env.Set("XDG_CONFIG_HOME", tmp.File("xdg").c_str());
  EXPECT_EQ(ApplicationDirFor(unusable), tmp.File("xdg/Do-Z"));
  EXPECT_TRUE(std::filesystem::is_directory(tmp.File("xdg/Do-Z")));

  env.Set("HOME", tmp.File("home").c_str());
  env.Set("XDG_CONFIG_HOME", "relative/ignored");
  EXPECT_EQ(ApplicationDirFor(unusable), tmp.File("home/.config/Do-Z"));
  env.Set("XDG_CONFIG_HOME", nullptr);
  EXPECT_EQ(ApplicationDirFor(""), tmp.File("home/.config/Do-Z"));
  EXPECT_TRUE(std::filesystem::is_directory(tmp.File("home/.config/Do-Z")));

  test::WriteBytes(tmp.File("afile"), "x");  // a file is no folder to write into
  EXPECT_EQ(ApplicationDirFor(tmp.File("afile")), tmp.File("home/.config/Do-Z"));
  EXPECT_EQ(ApplicationDirFor(tmp.Path()), tmp.Path());
  for (const char* installed : {"usr/bin", "local/sbin"}) {
    std::filesystem::create_directories(tmp.File(installed));
    EXPECT_EQ(ApplicationDirFor(tmp.File(installed)), tmp.File("home/.config/Do-Z"))
        << installed << ": writable, yet an installation's folder";
  }
}

}  // namespace
}  // namespace doz::platform
