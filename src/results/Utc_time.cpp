#include "Utc_time.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace doz::results {
namespace {

using namespace std::chrono;

constexpr std::size_t kUtcSize = 24;  // "YYYY-MM-DDTHH:MM:SS.mmmZ"

// Digits of text[at, at + count) as a number; nothing when any is not one.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

struct TFields {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

bool Valid(const TFields& f) {
  const year_month_day date{year{f.year}, month{unsigned(f.month)}, day{unsigned(f.day)}};
  return date.ok() && f.hour < 24 && f.minute < 60 && f.second < 60;
}

sys_seconds UtcSeconds(const TFields& f) {
  const year_month_day date{year{f.year}, month{unsigned(f.month)}, day{unsigned(f.day)}};
  return sys_days{date} + hours{f.hour} + minutes{f.minute} + seconds{f.second};
}

std::optional<sys_seconds> LocalSeconds(const TFields& f) {
  std::tm tm{};
  tm.tm_year = f.year - 1900;
  tm.tm_mon = f.month - 1;
  tm.tm_mday = f.day;
  tm.tm_hour = f.hour;
  tm.tm_min = f.minute;
  tm.tm_sec = f.second;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return std::nullopt;
  return sys_seconds{seconds{t}};
}

// "YYYY-MM-DD" at the start of text.
std::optional<TFields> DatePart(std::string_view text) {
  const auto y = Digits(text, 0, 4), m = Digits(text, 5, 2), d = Digits(text, 8, 2);
  if (!y || !m || !d || text[4] != '-' || text[7] != '-') return std::nullopt;
  return TFields{*y, *m, *d};
}

}  // namespace

bool Representable(TUtcTime time) {
  const year y = year_month_day{floor<days>(time)}.year();
  return y >= year{0} && y <= year{9999};
}

std::string FormatUtc(TUtcTime time) {
  const sys_days day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss<milliseconds> clock{time - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()),
                int(clock.subseconds().count()));
  return text;
}

std::optional<TUtcTime> ParseUtc(std::string_view text) {
  if (text.size() != kUtcSize || text[10] != 'T' || text[13] != ':' || text[16] != ':' ||
      text[19] != '.' || text[23] != 'Z') {
    return std::nullopt;
  }
  auto fields = DatePart(text);
  const auto h = Digits(text, 11, 2), m = Digits(text, 14, 2), s = Digits(text, 17, 2);
  const auto ms = Digits(text, 20, 3);
  if (!fields || !h || !m || !s || !ms) return std::nullopt;
  fields->hour = *h;
  fields->minute = *m;
  fields->second = *s;
  if (!Valid(*fields)) return std::nullopt;
  return UtcSeconds(*fields) + milliseconds{*ms};
}

std::optional<TUtcTime> ParseDateArgument(std::string_view text) {
  const bool utc = !text.empty() && text.back() == 'Z';
  if (utc) text.remove_suffix(1);
  auto fields = DatePart(text);
  if (!fields) return std::nullopt;
  if (text.size() > 10) {
    const auto h = Digits(text, 11, 2), m = Digits(text, 14, 2);
    const bool withSeconds = text.size() == 19 && text[16] == ':';
    const auto s = withSeconds ? Digits(text, 17, 2) : std::optional<int>(0);
    if ((text[10] != 'T' && text[10] != ' ') || text[13] != ':' || !h || !m || !s ||
        (text.size() != 16 && !withSeconds)) {
      return std::nullopt;
    }
    fields->hour = *h;
    fields->minute = *m;
    fields->second = *s;
  } else if (text.size() != 10) {
    return std::nullopt;
  }
  if (!Valid(*fields)) return std::nullopt;
  const auto at = utc ? std::optional(UtcSeconds(*fields)) : LocalSeconds(*fields);
  if (!at) return std::nullopt;
  return TUtcTime{*at};
}

TUtcTime UtcNow() { return floor<milliseconds>(system_clock::now()); }

}  // namespace doz::results
