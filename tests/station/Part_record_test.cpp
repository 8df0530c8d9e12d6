// A part's row on its way into either store: through the queue, so that a
// process that ends after the queue has it loses nothing, and past a store
// that cannot be reached.
#include "Part_record.h"

#include <gtest/gtest.h>

#include "Postgres_server.h"
#include "Store_case.h"
#include "Store_outage.h"
#include "Sweep_failure.h"

namespace doz::station {
namespace {

using namespace results;

class RecordTest : public ::testing::TestWithParam<TStoreKind> {
 protected:
  void SetUp() override {
    std::string why;
    location_ = test::NewStore(GetParam(), folder_, why);
    if (location_.empty()) GTEST_SKIP() << why;
  }
  std::size_t Stored(const std::string& serial) {
    std::vector<TResultRow> rows;
    TRowFilter filter;
    filter.Serial = serial;
    EXPECT_TRUE(TResultsStore(location_, test::TestOptions(folder_)).Rows(filter, rows).Ok());
    return rows.size();
  }

  test::TTempDir folder_;
  std::string location_;
};

TEST_P(RecordTest, RowsGoThroughTheQueueAndWaitThereWhileTheStoreIsAway) {
  TResultsStore store(location_, test::TestOptions(folder_));
  const TPartFacts facts{"x'); drop table results; --", "line-1", "coil-A", UtcNow()};
  TJudgement judged;
  judged.Values = {{"L", 2.5, 2.4, 2.6}};
  TPartSave save;
  save.Name = "a.DTA";
  save.Sha256 = std::string(64, 'b');
  std::size_t waitingInBetween = 99;
  const TRecordResult stored =
      RecordRow(store, JudgedRow(facts, judged, save), [&] { waitingInBetween = store.Waiting(); });
  EXPECT_EQ(stored.Fate, TRowFate::Stored) << stored.Status.Message;
  EXPECT_EQ(waitingInBetween, 1u) << "the row is in the queue before the store is tried";
  EXPECT_EQ(Stored(facts.Serial), 1u);
  {
    test::TOutage outage(GetParam(), location_);
    ASSERT_TRUE(outage.Began());
    const TRecordResult queued = RecordRow(store, FailedRow(facts, "データ受信エラーです"));
    EXPECT_EQ(queued.Fate, TRowFate::Queued);
    EXPECT_EQ(queued.Waiting, 1u);
    EXPECT_EQ(queued.Status.Message.find(test::TPostgresServer::kPassword), std::string::npos);
  }
  EXPECT_TRUE(store.Flush().Status.Ok());
  EXPECT_EQ(Stored(facts.Serial), 2u);
  const TRecordResult refused = RecordRow(store, FailedRow(facts, ""));
  EXPECT_EQ(refused.Fate, TRowFate::Lost) << "an error row needs its text";
  EXPECT_EQ(store.Waiting(), 0u) << "and never blocks the queue";
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, RecordTest,
                         ::testing::Values(TStoreKind::SqliteFile, TStoreKind::Postgres),
                         [](const auto& info) { return test::KindName(info.param); });

TEST(SweepFailure, TellsWhySweepsFailedEachTextOnce) {
  TSweepFailure start;
  for (const TStatusText t :
       {TStatusText::EmptyState, TStatusText::PortOpenError, TStatusText::StartError})
    start.Status(t);
  start.Message(TMessageText::ComPortOpenError);
  start.Message(TMessageText::ConfirmDiscardAndStart);
  EXPECT_EQ(start.Text(),
            "通信ポートが開けません / 測定開始できませんでした / "
            "COMポートが開けませんでした。COM番号を確認して下さい。");
  TSweepFailure stream;
  stream.Status(TStatusText::Measuring);
  stream.Ended(TSweepEnding::LineBroken);
  stream.Status(TStatusText::ReceiveError);
  EXPECT_EQ(stream.Text(), "データ受信エラーです");
  TSweepFailure stopped;
  stopped.Ended(TSweepEnding::Stopped);
  EXPECT_EQ(stopped.Text(), "測定中止しました");
  TSweepFailure complete;
  complete.Ended(TSweepEnding::Complete);
  EXPECT_FALSE(complete.Any());
}

}  // namespace
}  // namespace doz::station
