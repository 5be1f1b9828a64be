#pragma once

#include <QLabel>

namespace vgx {

// `path` shortened in its middle with "..." so that it fits `control`: its width less 200
// twips, measured with its font. The last component of the path stays whole.
QString FitPathToWidget(const QString& path, const QWidget& control);

// A label showing a folder path shortened to fit (see FitPathToWidget), again after every
// resize or font change. Its tool tip (and so its accessible description) holds the whole path.
class PathLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPath)

public:
    explicit PathLabel(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // An empty path empties the label.
    void setPath(const QString& path);

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Fit();

    QString path_;
};

}  // namespace vgx
