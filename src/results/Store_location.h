// Where a results store lives, from the text the user gives: a file path
// means a SQLite file, a "postgresql://" or "postgres://" connection string
// a PostgreSQL server. Also the two things derived from it that must never
// carry a password: the description used in messages and the path of the
// local queue for rows that could not be written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace doz::results {

enum class TStoreKind { SqliteFile, Postgres };

// Nothing for an empty location.
std::optional<TStoreKind> KindOf(std::string_view location);

// The location as messages show it: a connection string with the password
// of its user part and any "password" parameter replaced by "***"; a file
// path as it is.
std::string MaskedLocation(std::string_view location);

// The password a connection string carries (decoded), empty when none: the
// text to strip from any message a server or client library composes.
std::string PasswordOf(std::string_view location);

// Replaces every occurrence of the location's password (as given and as
// decoded) in text by "***".
std::string Scrubbed(std::string text, std::string_view location);

// The queue file of the location. For a SQLite file, "<file>.queue" beside
// it, so that it travels with the batch folder and any program given the
// same file finds it. For a server, a file in queueFolder (when empty: the
// user's $XDG_STATE_HOME/Do-Z/queue, else ~/.local/state/Do-Z/queue), named
// from the user, host, port and database alone. Nothing for a connection
// string the client library cannot read.
std::optional<std::string> QueuePathOf(std::string_view location, const std::string& queueFolder);

}  // namespace doz::results
