#pragma once

#include <QString>
#include <functional>

#include "loop/event_loop.h"

class QWidget;

namespace vgx {

// "Selecione um diretório:": the folder browser, opened without waiting for it. `chosen` gets
// the folder, or an empty text when the user cancels; dropping the handle closes the browser.
LoopHandle OpenFolderChooser(QWidget* parent, std::function<void(QString)> chosen);

}  // namespace vgx
