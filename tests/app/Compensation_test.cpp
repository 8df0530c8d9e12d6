// Lead compensation in the window: the open and short sweeps kept as files,
// the corrected view of a measurement measured through the same leads, its
// note, and the view that stays raw where the compensation cannot reach.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "Doz_file.h"
#include "Session_steps.h"
#include "Synthetic_sweep.h"
#include "Window_steps.h"

namespace doz {
namespace {

using test::Sim;
using test::TSessionRig;

constexpr const char* kLeads = "R=0.5,L=1u,C=50p";
// The same leads around a coil, as one circuit.
constexpr const char* kCoilThroughLeads =
    "Rl-Ll-p(p(R-L,C),Cs):Rl=0.5,Ll=1u,R=6800,L=2.5,C=400p,Cs=50p";

// The sweep of the leads as the menu runs it, against a unit whose ends are
// `ends` (open or short).
void SweepLeads(TSessionRig& rig, const std::string& device, bool open) {
  rig.fixture.LinkComPort(1, device);
  rig.Prompter().confirmAnswers.push_back(true);
  open ? rig.W().MenuAnalysis_OpenSweepClick() : rig.W().MenuAnalysis_ShortSweepClick();
  ASSERT_TRUE(rig.RunToEnd(20000));
}

TEST(Compensation, SweptLeadsAreKeptAndTakenOutOfWhatTheWindowShowsAndWrites) {
  TSessionRig rig({}, 3);
  TFormMain& w = rig.W();
  const auto open = Sim({"--circuit", "open", "--leads", kLeads});
  SweepLeads(rig, open->DevicePath(), true);
  const auto shorted = Sim({"--circuit", "short", "--leads", kLeads});
  SweepLeads(rig, shorted->DevicePath(), false);
  EXPECT_TRUE(std::filesystem::exists(w.CompensationPath(true)));
  EXPECT_TRUE(std::filesystem::exists(w.CompensationPath(false)));
  EXPECT_EQ(w.ComboBox2->currentIndex(), 0) << "a compensation sweep is of band 1";
  EXPECT_EQ(w.windowTitle(), QString("Do-Z v1.1 / ") + QString::fromStdString(w.CompensationPath(false)));

  const std::string coil = rig.fixture.Dir().File("coil.DTA");
  ASSERT_TRUE(test::WriteSyntheticFile(coil, test::Circuit(kCoilThroughLeads), 1));
  test::OpenThroughMenu(rig.fixture, coil);
  const TRawData records = w.MeasData;
  EXPECT_FALSE(w.Compensating());
  w.MenuAnalysis_CompensateClick();
  ASSERT_TRUE(w.Compensating());
  EXPECT_EQ(w.CompensationNote->text(), QStringLiteral("補正あり"));
  EXPECT_TRUE(w.CompensationNote->isVisible());
  const analysis::TCircuit truth = test::Circuit("coil:R=6800,L=2.5,C=400p");
  for (const int slot : {200, 400, 480, 540}) {  // about 1 kHz, the resonance and above
    const double expected = std::abs(truth.Impedance(w.MeasCalc.Freq[slot]));
    EXPECT_NEAR(w.ShownCalc().R[slot], expected, 0.02 * expected) << slot;
  }
  EXPECT_GT(std::fabs(w.MeasCalc.R[540] / w.ShownCalc().R[540] - 1), 0.1) << "the leads showed";
  EXPECT_EQ(w.GraphRange.PlotMeas, &w.ShownAve());
  EXPECT_EQ(std::memcmp(&w.MeasData.Data, &records.Data, sizeof records.Data), 0);
  w.MenuFile_CloseClick();
  test::OpenThroughMenu(rig.fixture, coil);
  EXPECT_EQ(w.MeasData.Data, records.Data) << "the file keeps the unit's records";

  w.MenuAnalysis_CompensateClick();
  EXPECT_FALSE(w.Compensating());
  EXPECT_EQ(&w.ShownCalc(), &w.MeasCalc);
  EXPECT_FALSE(w.CompensationNote->isVisible());
  rig.Prompter().confirmAnswers.push_back(true);
  w.MenuAnalysis_ClearCompensationClick();
  EXPECT_TRUE(w.Leads.Empty());
  EXPECT_FALSE(std::filesystem::exists(w.CompensationPath(true)));
}

TEST(Compensation, AFailedSweepKeepsTheFileAndAnUncoveredSetStaysRaw) {
  TSessionRig rig({}, 1);
  TFormMain& w = rig.W();
  // An open of the high band alone: it covers no band-1 measurement.
  ASSERT_TRUE(test::WriteSyntheticFile(w.CompensationPath(true), test::Circuit("rc:R=1G,C=50p"), 4));
  const std::uintmax_t before = std::filesystem::file_size(w.CompensationPath(true));
  const auto broken = Sim({"--circuit", "open", "--fault", "hangup-after=20"});
  SweepLeads(rig, broken->DevicePath(), true);
  EXPECT_EQ(std::filesystem::file_size(w.CompensationPath(true)), before);

  const std::string coil = rig.fixture.Dir().File("coil.DTA");
  ASSERT_TRUE(test::WriteSyntheticFile(coil, test::Circuit(kCoilThroughLeads), 1));
  rig.Prompter().boxAnswers.push_back(TBoxResult::Yes);  // the cut sweep's points go
  test::OpenThroughMenu(rig.fixture, coil);
  w.MenuAnalysis_CompensateClick();
  ASSERT_TRUE(w.Compensating());
  EXPECT_EQ(&w.ShownCalc(), &w.MeasCalc);
  EXPECT_EQ(w.CompensationNote->text(), QStringLiteral("補正できません（補正データが測定の点を含みません）"));
}

}  // namespace
}  // namespace doz
