// What doz-cli inspect prints on standard output: the verdict, every check
// with its outcome, the values, the file and where the row went; as text or
// as one JSON object.
#pragma once

#include <ostream>
#include <string>

#include "Judgement.h"
#include "Part_record.h"

namespace doz::cli {

struct TInspection {
  results::TResultRow Row;
  station::TJudgement Judgement;  // no findings for a measurement that failed
  std::string FilePath;           // empty when no file was saved
  station::TRecordResult Record;
  std::string Store;  // the store as messages name it (no password)
};

// "合格", "不合格", "測定エラー": the station's words for a verdict.
const char* VerdictText(results::TVerdict verdict);

void PrintInspectionText(const TInspection& inspection, std::ostream& out);
void PrintInspectionJson(const TInspection& inspection, std::ostream& out);

}  // namespace doz::cli
