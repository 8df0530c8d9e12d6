// Steps the window tests share: loading data through the window's own
// commands, an unsaved measurement as a finished sweep leaves it, and what
// the graph and its labels show.
#pragma once

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QStringList>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "Color_ref.h"
#include "Graph_rtf.h"
#include "Main_fixture.h"
#include "Sample_files.h"

namespace doz::test {

// Opens a measurement file through the open command, answering its dialog.
inline void OpenThroughMenu(TMainFixture& f, const std::string& path) {
  f.Prompter().openAnswers.push_back({QString::fromStdString(path)});
  f.Window().MenuFile_OpenClick();
}

// Loads reference files through the reference command, in this order.
inline void LoadReferencesThroughMenu(TMainFixture& f, const std::vector<std::string>& paths) {
  QStringList files;
  for (const std::string& p : paths) files << QString::fromStdString(p);
  f.Prompter().openAnswers.push_back(files);
  f.Window().MenuRef_OpenClick();
}

// Writes sample files of seeds firstSeed, firstSeed + 1 ... into the
// fixture's folder and returns their paths.
inline std::vector<std::string> SampleFiles(const TMainFixture& f, const std::string& stem,
                                            int count, int band, std::uint64_t firstSeed) {
  std::vector<std::uint64_t> seeds;
  for (int i = 0; i < count; ++i) seeds.push_back(firstSeed + i);
  std::vector<std::string> paths = WriteSpeakerFiles(f.Dir().Path(), stem, band, seeds);
  EXPECT_EQ(paths.size(), seeds.size());
  return paths;
}

// The window as a finished sweep leaves it: a decoded measurement, not saved.
inline void HoldUnsavedMeasurement(TFormMain& w, int band = 1, std::uint64_t seed = 7) {
  w.MeasData = SpeakerSweep(band, seed);
  ASSERT_TRUE(MakeCalcData(&w.MeasData, &w.MeasCalc, &w.MeasAve));
  w.MeasData.Present = 1;
  w.DataSaved = 0;
}

inline int CountColor(const QImage& image, const QColor& color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == color;
  return n;
}

inline int CountColor(const TFormMain& w, TColorRef ref) {
  return CountColor(w.Graph->Bitmap(), ColorFromRef(ref));
}

inline QStringList LabelTexts(const TFormMain& w, int from, int to) {
  QStringList texts;
  for (int i = from; i <= to; ++i) texts << w.LabelSlots[i]->text();
  return texts;
}

inline int VisibleLabels(const TFormMain& w, int from, int to) {
  int n = 0;
  for (int i = from; i <= to; ++i) n += w.LabelSlots[i]->isVisible();
  return n;
}

inline QColor LabelColor(const QLabel* label) {
  return label->palette().color(QPalette::WindowText);
}

}  // namespace doz::test
