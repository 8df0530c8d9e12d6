#include "Page_probe.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

namespace doz::test {
namespace {

QByteArray RunTool(const QString& tool, const QStringList& args) {
  QProcess process;
  process.start(tool, args);
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    process.kill();
    process.waitForFinished();
    return {};
  }
  return process.readAllStandardOutput();
}

std::string Unescape(QString text) {
  text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
  return text.toStdString();
}

}  // namespace

bool HavePoppler() {
  return !QStandardPaths::findExecutable("pdftotext").isEmpty() &&
         !QStandardPaths::findExecutable("pdftoppm").isEmpty();
}

std::vector<TPdfWord> PdfWords(const std::string& pdf) {
  const QString html =
      QString::fromUtf8(RunTool("pdftotext", {"-bbox", QString::fromStdString(pdf), "-"}));
  static const QRegularExpression word(
      R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
  std::vector<TPdfWord> words;
  for (auto it = word.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    words.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                     m.captured(4).toDouble(), Unescape(m.captured(5))});
  }
  return words;
}

const TPdfWord* FindWord(const std::vector<TPdfWord>& words, const std::string& text) {
  const auto it =
      std::find_if(words.begin(), words.end(), [&](const TPdfWord& w) { return w.text == text; });
  return it == words.end() ? nullptr : &*it;
}

std::string PdfLayoutText(const std::string& pdf) {
  return RunTool("pdftotext", {"-layout", QString::fromStdString(pdf), "-"}).toStdString();
}

QImage PdfPage(const std::string& pdf, int dpi, const QRect& crop, bool antialias) {
  QStringList args = {"-r", QString::number(dpi), "-f", "1", "-l", "1", "-png", "-singlefile"};
  if (!crop.isNull()) {
    args << "-x" << QString::number(crop.x()) << "-y" << QString::number(crop.y()) << "-W"
         << QString::number(crop.width()) << "-H" << QString::number(crop.height());
  }
  if (!antialias)
    args << "-aa"
         << "no"
         << "-aaVector"
         << "no";
  QTemporaryDir dir;
  const QString root = dir.filePath("page");
  args << QString::fromStdString(pdf) << root;
  RunTool("pdftoppm", args);
  return QImage(root + ".png");
}

bool IsBlueInk(QRgb c) { return qBlue(c) > qRed(c) + 60 && qBlue(c) > qGreen(c) + 60; }
bool IsRedInk(QRgb c) { return qRed(c) > qGreen(c) + 60 && qRed(c) > qBlue(c) + 60; }

bool IsTealInk(QRgb c) {
  return qGreen(c) > qRed(c) + 40 && qBlue(c) > qRed(c) + 40 && std::abs(qGreen(c) - qBlue(c)) < 40;
}

bool IsPurpleInk(QRgb c) {
  return qRed(c) > qGreen(c) + 40 && qBlue(c) > qGreen(c) + 40 && std::abs(qRed(c) - qBlue(c)) < 40;
}

bool IsDarkInk(QRgb c) { return qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80; }
bool IsWhitePaper(QRgb c) { return qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235; }

int CountInk(const QImage& image, bool (*ink)(QRgb), const QRect& area) {
  const QRect r = (area.isNull() ? image.rect() : area).intersected(image.rect());
  int count = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) count += ink(image.pixel(x, y)) ? 1 : 0;
  return count;
}

QImage PaperPage(int dpi, bool landscape) {
  const int shortSide = static_cast<int>(std::lround(210 / 25.4 * dpi));
  const int longSide = static_cast<int>(std::lround(297 / 25.4 * dpi));
  QImage page(landscape ? longSide : shortSide, landscape ? shortSide : longSide,
              QImage::Format_RGB32);
  const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
  page.setDotsPerMeterX(dotsPerMeter);
  page.setDotsPerMeterY(dotsPerMeter);
  page.fill(Qt::white);
  return page;
}

}  // namespace doz::test
