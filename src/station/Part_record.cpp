#include "Part_record.h"

namespace doz::station {
namespace {

using namespace results;

TResultRow RowOf(const TPartFacts& facts, TVerdict verdict) {
  TResultRow row;
  row.Id = NewRowId();
  row.Serial = facts.Serial;
  row.MeasuredAt = facts.MeasuredAt;
  row.Station = facts.Station;
  row.Criteria = facts.Criteria;
  row.Verdict = verdict;
  return row;
}

TRowFate FateOf(TWriteOutcome outcome) {
  switch (outcome) {
    case TWriteOutcome::Written:
      return TRowFate::Stored;
    case TWriteOutcome::Queued:
      return TRowFate::Queued;
    case TWriteOutcome::Refused:
    case TWriteOutcome::Failed:
      break;
  }
  return TRowFate::Lost;
}

}  // namespace

TResultRow JudgedRow(const TPartFacts& facts, const TJudgement& judgement, const TPartSave& save) {
  TResultRow row = RowOf(facts, judgement.Verdict);
  row.Reasons = ReasonTexts(judgement);
  row.Values = judgement.Values;
  if (save.Fault == TSaveFault::None) {
    row.FileName = save.Name;
    row.FileSha256 = save.Sha256;
  }
  return row;
}

TResultRow FailedRow(const TPartFacts& facts, const std::string& errorText) {
  TResultRow row = RowOf(facts, TVerdict::MeasurementError);
  row.ErrorText = errorText;
  return row;
}

TRecordResult RecordRow(TResultsStore& store, const TResultRow& row,
                        const std::function<void()>& queued) {
  const TWriteResult enqueued = store.Enqueue(row);
  if (enqueued.Outcome == TWriteOutcome::Failed) {
    // No queue to lean on: the store alone, as a plain write tries it.
    const TWriteResult written = store.Write(row);
    return {FateOf(written.Outcome), written.Status, store.Waiting()};
  }
  if (enqueued.Outcome != TWriteOutcome::Queued)
    return {TRowFate::Lost, enqueued.Status, store.Waiting()};
  if (queued) queued();
  // Another process's flush may have taken the row already; either way it
  // is stored once the flush comes back without a failure. A failure may
  // come from a row queued after this one: the fate is then the safe guess.
  const TQueueFlush flush = store.Flush();
  return {flush.Status.Ok() ? TRowFate::Stored : TRowFate::Queued, flush.Status, store.Waiting()};
}

}  // namespace doz::station
