#pragma once

class QCoreApplication;

namespace vgx {

// Puts Qt's own texts (the buttons of message boxes, the file dialog, the calendar) in
// Brazilian Portuguese from the translations Qt ships, and makes pt_BR the default locale so
// that dates read dd/mm/yyyy. Returns false when the translations are not installed; the
// locale is set all the same.
bool InstallPortugueseTranslations(QCoreApplication& app);

}  // namespace vgx
