// Qt's own Finnish translations, so that standard buttons and file dialogs speak Finnish.
#pragma once

class QCoreApplication;

namespace kp {

// Loads Qt's Finnish catalogue from the folder Qt's installation names for translations and
// makes Finnish the default locale. False when the catalogue is not installed (the standard
// texts then stay English).
bool InstallFinnishTranslations(QCoreApplication& application);

} // namespace kp
