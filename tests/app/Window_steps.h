// Steps the window tests share: loading data through the window's own
// commands, an unsaved measurement as a finished sweep leaves it, what the
// graph and its labels show, and which controls a sweep leaves usable.
#pragma once

#include <QColor>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStringList>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "Color_ref.h"
#include "Graph_rtf.h"
#include "Main_fixture.h"
#include "Sample_files.h"
#include "Serialport.h"

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

// The message boxes shown so far: these texts in order, each in `style`
// under the window's caption.
inline void ExpectBoxes(const TScriptedPrompter& prompter, const std::vector<QString>& texts,
                        TBoxStyle style) {
  const std::vector<TPromptRecord> boxes = prompter.Boxes();
  ASSERT_EQ(boxes.size(), texts.size());
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    EXPECT_EQ(boxes[i].text, texts[i]) << "box " << i;
    EXPECT_EQ(boxes[i].caption, QStringLiteral("Do-Z v1.1")) << "box " << i;
    EXPECT_EQ(boxes[i].style, style) << "box " << i;
  }
}

// Picks `band` in the band selector as the user does.
inline void ChooseBand(TFormMain& w, int band) {
  w.ComboBox2->setCurrentIndex(band - 1);
  w.ComboBox2Change();
}

// The band selector and the graph's range show `band`.
inline void ExpectBand(const TFormMain& w, int band) {
  EXPECT_EQ(w.ComboBox2->currentIndex(), band - 1);
  EXPECT_EQ(w.GraphRange.Band, band);
  EXPECT_EQ(w.GraphRange.StartFreq, BandStartFreq(band));
  EXPECT_EQ(w.GraphRange.StopFreq, BandStopFreq(band));
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

// Resistance labels in the resistance colour, phase labels in the phase
// colour, frequency labels in the window's text colour.
inline void ExpectLabelColours(const TFormMain& w, const QColor& resistance, const QColor& phase) {
  const QColor text = w.palette().color(QPalette::WindowText);
  for (int i = 0; i < TFormMain::kLabelCount; ++i) {
    const QColor expected = i < 12 ? resistance : i < 24 ? phase : text;
    EXPECT_EQ(LabelColor(w.LabelSlots[i]), expected) << "label slot " << i;
  }
}

inline std::vector<QMenu*> TopMenus(const TFormMain& w) {
  return {w.MenuFile,     w.MenuMeasure, w.MenuGraph, w.MenuRef,
          w.MenuAnalysis, w.MenuStation, w.MenuSet,   w.MenuHelp};
}

// During a sweep: only the start button, which stops it, can be used.
inline void ExpectSweepControls(const TFormMain& w) {
  EXPECT_TRUE(w.MStartBtn->isEnabled());
  EXPECT_FALSE(w.QuitBtn->isEnabled());
  EXPECT_FALSE(w.ComboBox2->isEnabled());
  for (QMenu* menu : TopMenus(w))
    EXPECT_FALSE(menu->menuAction()->isEnabled()) << menu->title().toStdString();
}

// Idle: start caption, every control enabled, no session, the port closed
// unless `portOpen`.
inline void ExpectIdleControls(const TFormMain& w, bool portOpen = false) {
  EXPECT_EQ(w.MStartBtn->text(), QStringLiteral("測定開始"));
  EXPECT_TRUE(w.MStartBtn->isEnabled());
  EXPECT_TRUE(w.QuitBtn->isEnabled());
  EXPECT_TRUE(w.ComboBox2->isEnabled());
  for (QMenu* menu : TopMenus(w))
    EXPECT_TRUE(menu->menuAction()->isEnabled()) << menu->title().toStdString();
  EXPECT_FALSE(w.Session.fReceiving());
  EXPECT_FALSE(w.Session.Protocol().fSession());
  EXPECT_EQ(w.Session.Protocol().fComOpen(), portOpen);
  EXPECT_EQ(w.SerialPort->Connected(), portOpen);
}

}  // namespace doz::test
