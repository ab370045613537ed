#pragma once

#include <QString>

class QApplication;
class QWidget;

namespace rrscope::ui {

// Loads Qt's own Russian texts (Debian's qt6-translations-l10n), so that
// the file dialogs and the standard buttons speak the language of the
// windows. Without the package, Qt's dialogs stay in English and nothing
// else changes; returns whether they were found.
bool installRussianQtTexts(QApplication& application);

// A yes/no question whose buttons read "Да" and "Нет" whether Qt's
// translations are installed or not; `yesByDefault` picks the button that
// Enter presses.
bool askYesNo(QWidget* parent, const QString& title, const QString& question, bool yesByDefault);

}  // namespace rrscope::ui
