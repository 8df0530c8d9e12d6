// The result row of an inspected part, and its way into the results store:
// first durably into the store's local queue, then with the queue into the
// store, so that a process that ends in between (a power cut) leaves the row
// waiting for the next write or open, not lost.
#pragma once

#include <functional>
#include <string>

#include "Judgement.h"
#include "Part_file.h"
#include "Results_store.h"

namespace doz::station {

// Who measured which part when, against what.
struct TPartFacts {
  std::string Serial;
  std::string Station;
  std::string Criteria;
  results::TUtcTime MeasuredAt{};
};

// A judged part: the verdict, the reasons, the values and the saved file
// (none when the save failed).
results::TResultRow JudgedRow(const TPartFacts& facts, const TJudgement& judgement,
                              const TPartSave& save);
// A measurement that did not complete: the verdict error and why.
results::TResultRow FailedRow(const TPartFacts& facts, const std::string& errorText);

enum class TRowFate {
  Stored,  // in the store
  Queued,  // waiting in the local queue; Status says why the store refused
  Lost,    // neither took it (or the row is not storable): Status says why
};

struct TRecordResult {
  TRowFate Fate = TRowFate::Lost;
  results::TStoreStatus Status;
  std::size_t Waiting = 0;  // rows in the queue afterwards
};

// `queued` runs once the row is safe in the queue, before the store is
// tried (doz-cli inspect's test hook for a process killed there).
TRecordResult RecordRow(results::TResultsStore& store, const results::TResultRow& row,
                        const std::function<void()>& queued = {});

}  // namespace doz::station
