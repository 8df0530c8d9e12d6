// The toolkit's own texts (the buttons of message boxes, the file, print,
// page set-up and colour dialogs) in Japanese, whatever the user's locale:
// the program speaks Japanese throughout.
#pragma once

class QCoreApplication;
class QTranslator;

namespace doz {

// Loads Qt's Japanese translation from Qt's translation folder into the
// application, which owns it; null when it is not installed (the toolkit
// then speaks English).
QTranslator* InstallToolkitTranslation(QCoreApplication& app);

}  // namespace doz
