#pragma once

#include <QGroupBox>
#include <QString>

class QGridLayout;
class QLineEdit;
class QScrollBar;

namespace vgx {

// A section panel of the settings window: one framed group of controls filling it.
class SectionFrame : public QWidget {
public:
    SectionFrame(const QString& objectName, const QString& frameCaption, QWidget* parent);

    QGroupBox* Frame() const { return frame_; }
    QGridLayout* Grid() const { return grid_; }

private:
    QGroupBox* frame_;
    QGridLayout* grid_;
};

// A text box named for the accessibility tools by the caption of the label beside it.
QLineEdit* LabelledBox(const QString& objectName, const QString& caption, QWidget* parent);
// The two arrows of a number's spinner.
QScrollBar* SpinnerArrows(const QString& objectName, const QString& caption, QWidget* parent);

// The caption as a screen reader reads it: without the "&" of the accelerator.
QString Spoken(const QString& caption);

}  // namespace vgx
