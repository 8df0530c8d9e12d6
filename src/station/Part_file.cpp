#include "Part_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "Doz_file.h"
#include "Result_row.h"
#include "Sha256.h"

namespace doz::station {
namespace {

bool SafeChar(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

std::string Stamp(results::TUtcTime when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::seconds>(when));
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Gives the complete file its name unless that name is taken: EEXIST then.
int Publish(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without the no-replace rename: a hard link is as atomic.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

TPartSave Failed(TSaveFault fault, int error = 0) {
  TPartSave save;
  save.Fault = fault;
  save.SystemError = error;
  return save;
}

}  // namespace

std::string SafeSerial(std::string_view serial) {
  std::string safe;
  for (std::size_t i = 0; i < serial.size() && safe.size() < kMaxSerialChars; ++i) {
    const auto c = static_cast<unsigned char>(serial[i]);
    if (SafeChar(c)) {
      safe += char(c);
      continue;
    }
    safe += '_';
    // The continuation bytes of the same character.
    while (i + 1 < serial.size() && (static_cast<unsigned char>(serial[i + 1]) & 0xC0) == 0x80) ++i;
  }
  return safe;
}

std::string PartFileName(std::string_view serial, results::TUtcTime when, int attempt) {
  std::string name = SafeSerial(serial) + "_" + Stamp(when);
  if (attempt > 1) name += "_" + std::to_string(attempt);
  return name + ".DTA";
}

TPartSave SavePart(const std::string& batchFolder, std::string_view serial, results::TUtcTime when,
                   const std::string& unitSerial, int comPort, const TRawData& raw) {
  TPartSave save;
  const std::string folder = batchFolder.empty() ? "." : batchFolder;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return Failed(TSaveFault::Folder, ec.value());
  // Written whole under a name of its own first, so that the part's name
  // never shows a file in the making.
  const std::string temporary = folder + "/." + results::NewRowId() + ".DTA";
  TSettingData setting;
  setting.CommPortNum = comPort;
  errno = 0;
  if (!TDoZ_File().WriteDataFile(temporary, unitSerial, &setting, &raw))
    return Failed(TSaveFault::Write, errno ? errno : EIO);
  const auto digest = results::FileSha256(temporary);
  if (!digest) {
    const int error = errno ? errno : EIO;
    ::unlink(temporary.c_str());
    return Failed(TSaveFault::Write, error);
  }
  save.Sha256 = *digest;
  for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
    save.Name = PartFileName(serial, when, attempt);
    save.Path = folder + "/" + save.Name;
    const int error = Publish(temporary, save.Path);
    if (error == EEXIST) continue;
    if (error != 0) {
      ::unlink(temporary.c_str());
      return Failed(TSaveFault::Write, error);
    }
    SyncFolder(folder);
    return save;
  }
  ::unlink(temporary.c_str());
  return Failed(TSaveFault::Taken);
}

std::string SaveFaultText(const TPartSave& save) {
  switch (save.Fault) {
    case TSaveFault::None:
      return "";
    case TSaveFault::Folder:
      return std::string("cannot make the batch folder: ") + std::strerror(save.SystemError);
    case TSaveFault::Write:
      return std::string("cannot write the measurement file: ") + std::strerror(save.SystemError);
    case TSaveFault::Taken:
      return "every name for the measurement file is taken";
  }
  return "";
}

}  // namespace doz::station
