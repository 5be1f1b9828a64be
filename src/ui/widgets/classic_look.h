#pragma once

#include <QPalette>
#include <QRect>
#include <QString>

class QPainter;

namespace vgx {

enum class EdgeStyle { Raised, Sunken };

// A one-pixel 3-D edge just inside `r`: light above and left, dark below and right when
// raised; the other way round when sunken.
void DrawThinEdge(QPainter& p, const QRect& r, const QPalette& palette, EdgeStyle style);

// The dotted focus rectangle just inside `r`.
void DrawFocusFrame(QPainter& p, const QRect& r, const QPalette& palette);

// The caption as read aloud: each "&" that marks an accelerator removed, "&&" kept as "&".
QString StripMnemonic(const QString& caption);

}  // namespace vgx
