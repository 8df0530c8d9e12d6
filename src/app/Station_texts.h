// The station window's texts: the verdict, each check of a judgement, why a
// criteria file cannot be used, and where a part's row went; in the
// window's own words, from the same facts doz-cli words in English.
#pragma once

#include <QString>

#include "Criteria.h"
#include "Judgement.h"
#include "Part_file.h"
#include "Part_record.h"

namespace doz {

// "合格", "不合格", "測定エラー".
QString VerdictText(results::TVerdict verdict);
// "L = 2.65 H：上限 2.60 H を 50.0 mH 超えています".
QString JapaneseFinding(const station::TFinding& finding);
// "7 行目：モデル「coill」はありません".
QString JapaneseCriteriaError(const station::TCriteriaError& error);
// What the criteria ask for, in one line.
QString CriteriaSummary(const station::TCriteria& criteria);
// "記録しました", "待機中（記録先に届きません）", "記録できませんでした".
QString RowFateText(station::TRowFate fate);
QString JapaneseSaveFault(const station::TPartSave& save);

}  // namespace doz
