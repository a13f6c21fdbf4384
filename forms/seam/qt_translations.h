// Qt's own texts (the buttons and questions of its file dialogs and message
// boxes) in Japanese, like the program's own texts, whatever the user's locale.
#pragma once

class QTranslator;

namespace lv {

// Loads Qt's Japanese translations from Qt's translations folder (Debian's
// qt6-translations-l10n) and installs them in the application, which owns
// the translator. Returns nothing when they are not installed; Qt's texts
// then stay English.
QTranslator* InstallQtTranslations();

}  // namespace lv
