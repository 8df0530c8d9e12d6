// doz-cli plot FILE.DTA [--ref REF.DTA]... [options] -o OUT.pdf|OUT.png: the
// page the application's print command prints, as a PDF or a PNG image.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace doz::cli {

// A4 portrait; the PDF at 600 dots per inch, the PNG rasterised at 150.
constexpr int PLOT_PDF_DPI = 600;
constexpr int PLOT_PNG_DPI = 150;
// At most this many information lines, each of one line and at most
// PRINT_TEXT_MAX_BYTES in code page 932: what the settings file keeps.
constexpr int PLOT_INFO_LINES = 3;

// args: the arguments after the verb. Creates a QApplication (on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise) when the
// process has none.
int RunPlot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace doz::cli
