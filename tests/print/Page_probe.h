// Looks at printed pages as a reader would: the words of a PDF with their
// boxes (poppler's pdftotext), a PDF page as pixels (pdftoppm), and the ink
// colours of the graph's default pens in an image.
#pragma once

#include <QImage>
#include <QRect>
#include <string>
#include <vector>

namespace doz::test {

// True when pdftotext and pdftoppm can be run.
bool HavePoppler();

// One word of a PDF page, in points from the page's top-left corner.
struct TPdfWord {
  double xMin = 0;
  double yMin = 0;
  double xMax = 0;
  double yMax = 0;
  std::string text;
};

std::vector<TPdfWord> PdfWords(const std::string& pdf);
// The first word with this text, or null.
const TPdfWord* FindWord(const std::vector<TPdfWord>& words, const std::string& text);
// The page as text laid out as printed.
std::string PdfLayoutText(const std::string& pdf);
// The first page rendered at dpi, optionally cropped to `crop` (in pixels at
// that resolution) and without anti-aliasing; null on failure.
QImage PdfPage(const std::string& pdf, int dpi, const QRect& crop = QRect(), bool antialias = true);

// Ink of the default pens, tolerant of blending with white paper and of
// lossy image compression.
bool IsBlueInk(QRgb c);    // measured resistance
bool IsRedInk(QRgb c);     // measured phase
bool IsTealInk(QRgb c);    // reference resistance
bool IsPurpleInk(QRgb c);  // reference phase
bool IsDarkInk(QRgb c);    // frame and text
bool IsWhitePaper(QRgb c);

// Pixels of `area` (the whole image when null) for which `ink` holds.
int CountInk(const QImage& image, bool (*ink)(QRgb), const QRect& area = QRect());

// An empty page of A4 paper at dpi, white, with its resolution set so that
// its size in millimetres is that of the paper.
QImage PaperPage(int dpi, bool landscape = false);

}  // namespace doz::test
