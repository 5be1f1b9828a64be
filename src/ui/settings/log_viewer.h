#pragma once

#include <QString>

class QWidget;

namespace vgx {

// Shows a log file: with the desktop's viewer for text files when the desktop has one,
// otherwise in a read-only window of the program's own, so the file is always shown.
void ShowTextFile(const QString& file, QWidget* parent);

// True when the desktop can open text files with a viewer of its own.
bool DesktopHasTextViewer();

// The program's own read-only window, maximised like the desktop's viewer would be.
QWidget* OpenOwnTextViewer(const QString& file, QWidget* parent);

}  // namespace vgx
