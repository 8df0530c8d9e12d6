#include "Row_sql.h"

#include <unordered_map>

namespace doz::results {
namespace {

// Rows of a multi-row insert per statement: far below any parameter limit.
constexpr std::size_t kRowsPerInsert = 100;

TSqlValue Limit(const std::optional<double>& limit) {
  return limit ? TSqlValue{*limit} : TSqlValue{std::monostate{}};
}

std::string Placeholders(std::size_t rows, std::size_t columns) {
  std::string group = "(?";
  for (std::size_t c = 1; c < columns; ++c) group += ", ?";
  group += ")";
  std::string text = group;
  for (std::size_t r = 1; r < rows; ++r) text += ", " + group;
  return text;
}

// Each element's columns, in chunks of kRowsPerInsert rows a statement.
template <typename T, typename F>
TStoreStatus InsertAll(TSqlConnection& connection, const std::string& head, std::size_t columns,
                       const std::vector<T>& items, F columnsOf) {
  for (std::size_t start = 0; start < items.size(); start += kRowsPerInsert) {
    const std::size_t count = std::min(kRowsPerInsert, items.size() - start);
    std::vector<TSqlValue> params;
    for (std::size_t i = start; i < start + count; ++i) {
      for (TSqlValue& v : columnsOf(items[i], static_cast<std::int64_t>(i))) params.push_back(v);
    }
    TStoreStatus status = connection.Exec(head + Placeholders(count, columns), params);
    if (!status.Ok()) return status;
  }
  return {};
}

TStoreStatus InsertParts(TSqlConnection& connection, const TResultRow& row) {
  std::int64_t inserted = 0;
  TStoreStatus status = connection.Exec(
      "INSERT INTO results (id, serial, measured_at, station, criteria, verdict, file_name,"
      " file_sha256, error_text) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (id) DO NOTHING",
      {row.Id, row.Serial, FormatUtc(row.MeasuredAt), row.Station, row.Criteria,
       std::string(VerdictWord(row.Verdict)), row.FileName, row.FileSha256, row.ErrorText},
      &inserted);
  if (!status.Ok() || inserted == 0) return status;
  status = InsertAll(connection, "INSERT INTO result_reasons (result_id, position, reason) VALUES ",
                     3, row.Reasons, [&row](const std::string& reason, std::int64_t position) {
                       return std::vector<TSqlValue>{row.Id, position, reason};
                     });
  if (!status.Ok()) return status;
  return InsertAll(connection,
                   "INSERT INTO result_values (result_id, position, name, value, lower_limit,"
                   " upper_limit) VALUES ",
                   6, row.Values, [&row](const TFittedValue& v, std::int64_t position) {
                     return std::vector<TSqlValue>{row.Id,  position,       v.Name,
                                                   v.Value, Limit(v.Lower), Limit(v.Upper)};
                   });
}

// " WHERE ..." over results r for the filter, with its parameters.
std::string Where(const TRowFilter& filter, std::vector<TSqlValue>& params) {
  std::string where;
  if (filter.Since) {
    where += " WHERE r.measured_at >= ?";
    params.push_back(FormatUtc(*filter.Since));
  }
  if (filter.Serial) {
    where += where.empty() ? " WHERE r.serial = ?" : " AND r.serial = ?";
    params.push_back(*filter.Serial);
  }
  return where;
}

TResultRow RowOf(const TSqlRow& columns) {
  TResultRow row;
  row.Id = TextOf(columns[0]);
  row.Serial = TextOf(columns[1]);
  row.MeasuredAt = ParseUtc(TextOf(columns[2])).value_or(TUtcTime{});
  row.Station = TextOf(columns[3]);
  row.Criteria = TextOf(columns[4]);
  row.Verdict = VerdictOfWord(TextOf(columns[5])).value_or(TVerdict::MeasurementError);
  row.FileName = TextOf(columns[6]);
  row.FileSha256 = TextOf(columns[7]);
  row.ErrorText = TextOf(columns[8]);
  return row;
}

std::optional<double> LimitOf(const TSqlValue& value) {
  return IsNull(value) ? std::nullopt : std::optional(NumberOf(value));
}

using TRowIndex = std::unordered_map<std::string, TResultRow*>;

// Adds what a detail query found to the rows it belongs to.
template <typename F>
TStoreStatus SelectDetails(TSqlConnection& connection, const std::string& sql,
                           const std::vector<TSqlValue>& params, const TRowIndex& index, F add) {
  std::vector<TSqlRow> found;
  TStoreStatus status = connection.Query(sql, params, found);
  for (const TSqlRow& columns : found) {
    const auto owner = index.find(TextOf(columns[0]));
    if (status.Ok() && owner != index.end()) add(*owner->second, columns);
  }
  return status;
}

TStoreStatus SelectParts(TSqlConnection& connection, const TRowFilter& filter,
                         std::vector<TResultRow>& rows) {
  std::vector<TSqlValue> params;
  const std::string where = Where(filter, params);
  std::vector<TSqlRow> found;
  TStoreStatus status = connection.Query(
      "SELECT r.id, r.serial, r.measured_at, r.station, r.criteria, r.verdict, r.file_name,"
      " r.file_sha256, r.error_text FROM results r" +
          where + " ORDER BY r.measured_at, r.id",
      params, found);
  if (!status.Ok()) return status;
  for (const TSqlRow& columns : found) rows.push_back(RowOf(columns));
  TRowIndex index;
  for (TResultRow& row : rows) index[row.Id] = &row;
  status = SelectDetails(connection,
                         "SELECT s.result_id, s.reason FROM result_reasons s JOIN results r"
                         " ON r.id = s.result_id" +
                             where + " ORDER BY s.result_id, s.position",
                         params, index, [](TResultRow& row, const TSqlRow& c) {
                           row.Reasons.push_back(TextOf(c[1]));
                         });
  if (!status.Ok()) return status;
  return SelectDetails(
      connection,
      "SELECT v.result_id, v.name, v.value, v.lower_limit, v.upper_limit FROM result_values v"
      " JOIN results r ON r.id = v.result_id" +
          where + " ORDER BY v.result_id, v.position",
      params, index, [](TResultRow& row, const TSqlRow& c) {
        row.Values.push_back({TextOf(c[1]), NumberOf(c[2]), LimitOf(c[3]), LimitOf(c[4])});
      });
}

}  // namespace

TStoreStatus InsertRow(TSqlConnection& connection, const TResultRow& row) {
  TStoreStatus status = connection.BeginWrite();
  if (status.Ok()) status = InsertParts(connection, row);
  if (status.Ok()) status = connection.Commit();
  if (!status.Ok()) connection.Rollback();
  return status;
}

TStoreStatus SelectRows(TSqlConnection& connection, const TRowFilter& filter,
                        std::vector<TResultRow>& rows) {
  rows.clear();
  TStoreStatus status = connection.BeginRead();
  if (status.Ok()) status = SelectParts(connection, filter, rows);
  if (status.Ok()) status = connection.Commit();
  if (!status.Ok()) {
    connection.Rollback();
    rows.clear();
  }
  return status;
}

}  // namespace doz::results
