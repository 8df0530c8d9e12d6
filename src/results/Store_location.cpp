#include "Store_location.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>
#include <utility>

#include "Sha256.h"

namespace doz::results {
namespace {

constexpr std::string_view kMask = "***";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The query of a URI with every password parameter's value masked.
std::string MaskedQuery(std::string_view query) {
  std::string out;
  std::size_t start = 0;
  while (start <= query.size()) {
    const std::size_t end = std::min(query.find('&', start), query.size());
    const std::string_view pair = query.substr(start, end - start);
    const std::size_t equals = pair.find('=');
    if (equals != std::string_view::npos && PercentDecoded(pair.substr(0, equals)) == "password") {
      out.append(pair.substr(0, equals + 1)).append(kMask);
    } else {
      out.append(pair);
    }
    if (end < query.size()) out += '&';
    start = end + 1;
  }
  return out;
}

// The password in the user part of a URI ("user:password@"), as written.
struct TUserPart {
  std::size_t Start = 0;  // of the password
  std::size_t End = 0;    // the '@' after it; where the hosts begin when none
  std::size_t Hosts = 0;  // the end of the hosts
  std::string_view Password;
};

TUserPart UserPart(std::string_view location) {
  TUserPart part;
  const std::size_t authority = location.find("://") + 3;
  part.Hosts = std::min(location.find_first_of("/?#", authority), location.size());
  const std::string_view text = location.substr(authority, part.Hosts - authority);
  const std::size_t at = text.rfind('@');
  const std::size_t colon = at == std::string_view::npos ? at : text.substr(0, at).find(':');
  part.End = authority + (at == std::string_view::npos ? 0 : at);
  part.Start = colon == std::string_view::npos ? part.End : authority + colon + 1;
  part.Password = location.substr(part.Start, part.End - part.Start);
  return part;
}

struct TConninfoDeleter {
  void operator()(PQconninfoOption* options) const { PQconninfoFree(options); }
};
using TConninfo = std::unique_ptr<PQconninfoOption, TConninfoDeleter>;

TConninfo ParsedConninfo(std::string_view location) {
  char* error = nullptr;
  TConninfo options(PQconninfoParse(std::string(location).c_str(), &error));
  PQfreemem(error);
  return options;
}

std::string Keyword(const PQconninfoOption* options, std::string_view keyword) {
  for (const PQconninfoOption* o = options; o && o->keyword; ++o) {
    if (keyword == o->keyword) return o->val ? o->val : "";
  }
  return "";
}

std::string DefaultQueueFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && *state == '/') return std::string(state) + "/Do-Z/queue";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/state/Do-Z/queue";
}

// Letters, digits, '.', '-' and '_' kept, anything else '_', at most 60.
std::string SafeName(std::string_view text) {
  std::string out;
  for (const char c : text.substr(0, 60)) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '.' || c == '-' || c == '_';
    out += safe ? c : '_';
  }
  return out;
}

}  // namespace

std::optional<TStoreKind> KindOf(std::string_view location) {
  if (location.empty()) return std::nullopt;
  if (StartsWith(location, "postgresql://") || StartsWith(location, "postgres://")) {
    return TStoreKind::Postgres;
  }
  return TStoreKind::SqliteFile;
}

std::string MaskedLocation(std::string_view location) {
  if (KindOf(location) != TStoreKind::Postgres) return std::string(location);
  const TUserPart user = UserPart(location);
  std::string out(location.substr(0, user.Password.empty() ? user.Hosts : user.Start));
  if (!user.Password.empty()) {
    out.append(kMask).append(location.substr(user.End, user.Hosts - user.End));
  }
  const std::size_t query = location.find('?', user.Hosts);
  out.append(location.substr(user.Hosts, query - user.Hosts));
  if (query != std::string_view::npos) {
    const std::size_t fragment = std::min(location.find('#', query), location.size());
    out.append("?").append(MaskedQuery(location.substr(query + 1, fragment - query - 1)));
    out.append(location.substr(fragment));
  }
  return out;
}

std::string PasswordOf(std::string_view location) {
  if (KindOf(location) != TStoreKind::Postgres) return "";
  return Keyword(ParsedConninfo(location).get(), "password");
}

std::string Scrubbed(std::string text, std::string_view location) {
  if (KindOf(location) != TStoreKind::Postgres) return text;
  // The whole location first, then the password decoded and as written.
  const std::pair<std::string, std::string> secrets[] = {
      {std::string(location), MaskedLocation(location)},
      {PasswordOf(location), std::string(kMask)},
      {std::string(UserPart(location).Password), std::string(kMask)}};
  for (const auto& [secret, mask] : secrets) {
    if (secret.empty()) continue;
    for (std::size_t at = text.find(secret); at != std::string::npos;
         at = text.find(secret, at + mask.size())) {
      text.replace(at, secret.size(), mask);
    }
  }
  return text;
}

std::optional<std::string> QueuePathOf(std::string_view location, const std::string& queueFolder) {
  const auto kind = KindOf(location);
  if (!kind) return std::nullopt;
  if (*kind == TStoreKind::SqliteFile) return std::string(location) + ".queue";
  const TConninfo options = ParsedConninfo(location);
  if (!options) return std::nullopt;
  const std::string user = Keyword(options.get(), "user");
  const std::string host = Keyword(options.get(), "host");
  const std::string port = Keyword(options.get(), "port");
  const std::string database = Keyword(options.get(), "dbname");
  const std::string key = user + "\n" + host + "\n" + port + "\n" + database;
  const std::string folder = queueFolder.empty() ? DefaultQueueFolder() : queueFolder;
  return folder + "/pg-" + SafeName(user + "@" + host + "-" + port + "-" + database) + "-" +
         Sha256Hex(key).substr(0, 16) + ".queue";
}

}  // namespace doz::results
