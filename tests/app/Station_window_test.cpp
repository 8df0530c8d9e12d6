// The station window over the main window's session and the simulated
// unit: a part from its serial number to its verdict and row, a serial
// number measured before, refusals, a sweep that fails, a store that is
// away, the batch's figures and the histogram's bins.
#include "Station_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <filesystem>

#include "Results_store.h"
#include "Session_steps.h"
#include "Station_histogram.h"
#include "Store_outage.h"

namespace doz {
namespace {

using results::TVerdict;
using test::TSessionRig;

constexpr const char* kCriteria =
    "name: coil-A\nmodel: coil\nlimit: L=2.4..2.6\nlimit: C=350p..450p\nresonance: peak "
    "4.5k..5.5k\nband: 7\n";

class StationTest : public ::testing::Test {
 protected:
  explicit StationTest(const char* circuit = "coil:R=6800,L=2.5,C=400p")
      : sim(test::Sim({"--circuit", circuit})),
        rig(sim->DevicePath(), 1),
        station(rig.W().mStationWindow()) {
    test::WriteBytes(rig.fixture.Dir().File("coil.dozcheck"), kCriteria);
    QObject::connect(&station, &TFormStation::VerdictShown, [this](TVerdict v) {
      verdicts.push_back(v);
      sinceFinish = finished.elapsed();
    });
    QObject::connect(&station, &TFormStation::RowRecorded,
                     [this](station::TRowFate f) { fates.push_back(f); });
    QObject::connect(&rig.W(), &TFormMain::SessionStatus, [this](TStatusText t) {
      if (t == TStatusText::MeasureFinished) finished.start();
    });
  }
  void Load(const std::string& name = "coil.dozcheck") {
    station.CriteriaEdit->setText(QString::fromStdString(rig.fixture.Dir().File(name)));
    station.LoadCriteriaClick();
  }
  // Types the serial number and Enter, then runs the window until the part's row is answered for.
  bool Measure(const QString& serial) {
    const std::size_t rows = fates.size();
    station.SerialEdit->setText(serial);
    station.SerialEntered();
    return rig.fixture.IdleUntil(
        [&] { return fates.size() > rows && station.Phase() == TFormStation::TPhase::Idle; },
        15000);
  }
  std::vector<results::TResultRow> StoreRows() {
    std::vector<results::TResultRow> rows;
    results::TResultsStore(rig.fixture.Dir().File("results.sqlite")).Rows({}, rows);
    return rows;
  }

  std::unique_ptr<test::TUnitsimProcess> sim;
  TSessionRig rig;
  TFormStation& station;
  std::vector<TVerdict> verdicts;
  std::vector<station::TRowFate> fates;
  QElapsedTimer finished;
  qint64 sinceFinish = -1;
};

TEST_F(StationTest, APartFromItsSerialNumberToItsVerdictFileAndRow) {
  Load();
  ASSERT_TRUE(station.Criteria()) << station.CriteriaStatus->text().toStdString();
  EXPECT_TRUE(station.CriteriaStatus->text().startsWith(QStringLiteral("coil-A：モデル p(R-L,C)")));
  ASSERT_TRUE(Measure(QStringLiteral("SN-1")));
  ASSERT_EQ(verdicts, std::vector<TVerdict>{TVerdict::Pass});
  EXPECT_GE(sinceFinish, 0);
  EXPECT_LT(sinceFinish, 1000) << "the verdict within 1 s of the sweep's end";
  EXPECT_EQ(station.VerdictLabel->text(), QStringLiteral("合格"));
  EXPECT_TRUE(
      station.ReasonsLabel->text().contains(QStringLiteral("○ L = 2.50 H（2.40 H ～ 2.60 H）")))
      << station.ReasonsLabel->text().toStdString();
  EXPECT_EQ(rig.W().ComboBox2->currentIndex(), 6) << "the criteria's band";
  EXPECT_EQ(rig.W().DataSaved, 1);
  EXPECT_TRUE(rig.W().windowTitle().contains(QStringLiteral("SN-1_")));

  const std::vector<results::TResultRow> rows = StoreRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Serial, "SN-1");
  EXPECT_TRUE(std::filesystem::exists(rig.fixture.Dir().File(rows[0].FileName)));
  EXPECT_EQ(station.PartsTable->rowCount(), 1);
  EXPECT_EQ(station.PartsTable->item(0, 2)->text(), QStringLiteral("合格"));
  EXPECT_EQ(station.PartsTable->item(0, 3)->text(), QStringLiteral("記録済み"));
  EXPECT_EQ(station.CountsLabel->text(),
            QStringLiteral("件数 1　合格 1　不合格 0　測定エラー 0　歩留まり 100.0 %"));
  EXPECT_EQ(station.StatsTable->rowCount(), 4) << "R, L, C, f_peak";
  EXPECT_EQ(station.HistogramBox->count(), 4);
  EXPECT_TRUE(station.SerialEdit->hasSelectedText()) << "the next scan replaces the serial number";
}

TEST_F(StationTest, ASerialNumberMeasuredBeforeIsAskedAboutAndBothRowsAreKept) {
  Load();
  ASSERT_TRUE(Measure(QStringLiteral("SN-2")));
  rig.Prompter().confirmAnswers = {false};
  station.SerialEntered();
  ASSERT_TRUE(
      rig.fixture.IdleUntil([&] { return station.Phase() == TFormStation::TPhase::Idle; }, 5000));
  EXPECT_FALSE(rig.W().Session.fReceiving()) << "No: nothing measured";
  EXPECT_EQ(rig.Prompter().Records().back().text,
            QStringLiteral("シリアル番号 SN-2 はすでに記録されています。もう一度測定しますか？"));
  rig.Prompter().confirmAnswers = {true};
  ASSERT_TRUE(Measure(QStringLiteral("SN-2")));
  EXPECT_EQ(StoreRows().size(), 2u);
  EXPECT_TRUE(station.CountsLabel->text().startsWith(QStringLiteral("件数 2　合格 2")));
}

TEST_F(StationTest, RefusesAnEmptySerialNumberAndCriteriaWithAFault) {
  Load();
  station.SerialEdit->setText(QStringLiteral("  "));
  station.SerialEntered();
  EXPECT_EQ(station.VerdictLabel->text(), QStringLiteral("シリアル番号を入れてください"));
  EXPECT_EQ(station.Phase(), TFormStation::TPhase::Idle);
  test::WriteBytes(rig.fixture.Dir().File("bad.dozcheck"),
                   "name: x\nmodel: coil\nlimit: L=2.6..2.4\n");
  Load("bad.dozcheck");
  EXPECT_FALSE(station.Criteria());
  EXPECT_TRUE(station.CriteriaStatus->text().contains(
      QStringLiteral("3 行目：「2.6..2.4」の最小が最大より大きくなっています")))
      << station.CriteriaStatus->text().toStdString();
  station.SerialEdit->setText(QStringLiteral("SN-3"));
  station.SerialEntered();
  EXPECT_EQ(station.VerdictLabel->text(), QStringLiteral("検査条件がありません"));
  EXPECT_FALSE(rig.W().Session.fReceiving());
}

TEST_F(StationTest, ASweepThatFailsIsAMeasurementErrorAndAnAbsentStoreLeavesRowsWaiting) {
  Load();
  rig.fixture.LinkComPort(1, rig.fixture.Dir().File("no-unit"));
  ASSERT_TRUE(Measure(QStringLiteral("E-1")));
  EXPECT_EQ(verdicts.back(), TVerdict::MeasurementError);
  EXPECT_EQ(station.VerdictLabel->text(), QStringLiteral("測定エラー"));
  EXPECT_TRUE(station.ReasonsLabel->text().contains(QStringLiteral("通信ポートが開けません")));
  EXPECT_EQ(StoreRows().at(0).Verdict, TVerdict::MeasurementError);

  rig.fixture.LinkComPort(1, sim->DevicePath());
  test::TOutage outage(results::TStoreKind::SqliteFile, rig.fixture.Dir().File("results.sqlite"));
  ASSERT_TRUE(outage.Began());
  ASSERT_TRUE(Measure(QStringLiteral("Q-1")));
  EXPECT_EQ(fates.back(), station::TRowFate::Queued);
  EXPECT_TRUE(
      station.WaitingLabel->text().startsWith(QStringLiteral("記録先に届いていない行 1 行")));
  EXPECT_TRUE(station.CountsLabel->text().startsWith(
      QStringLiteral("件数 2　合格 1　不合格 0　測定エラー 1")))
      << "a waiting row counts";
}

TEST(StationHistogram, BinsSpanTheValuesAndTheLimits) {
  const THistogram h = HistogramOf({2.45, 2.5, 2.5, 2.55, 2.7}, 2.4, 2.6, 3);
  EXPECT_DOUBLE_EQ(h.Low, 2.4);
  EXPECT_DOUBLE_EQ(h.High, 2.7);
  EXPECT_EQ(h.Counts, (std::vector<int>{1, 3, 1})) << "the highest value in the last bin";
  const THistogram one = HistogramOf({5.0}, std::nullopt, std::nullopt, 4);
  EXPECT_LT(one.Low, 5.0);
  EXPECT_GT(one.High, 5.0);
  EXPECT_EQ(one.Counts[1] + one.Counts[2], 1);
  EXPECT_EQ(HistogramOf({}, std::nullopt, std::nullopt, 2).Counts, (std::vector<int>{0, 0}));
}

}  // namespace
}  // namespace doz
