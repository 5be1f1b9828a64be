#include "ui/settings/log_viewer.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace vgx {

bool DesktopHasTextViewer() {
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
    if (!query.waitForFinished(3000) || query.exitCode() != 0)
        return false;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

QWidget* OpenOwnTextViewer(const QString& file, QWidget* parent) {
    auto* viewer = new QDialog(parent);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setObjectName(QStringLiteral("LogViewer"));
    viewer->setWindowTitle(QFileInfo(file).fileName());
    auto* text = new QPlainTextEdit(viewer);
    text->setObjectName(QStringLiteral("LogText"));
    text->setAccessibleName(QFileInfo(file).fileName());
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFont(QStringLiteral("Monospace")));
    QFile in(file);
    if (in.open(QIODevice::ReadOnly))
        text->setPlainText(QString::fromUtf8(in.readAll()).remove(QLatin1Char('\r')));
    auto* layout = new QVBoxLayout(viewer);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text);
    viewer->resize(900, 600);
    viewer->showMaximized();
    return viewer;
}

void ShowTextFile(const QString& file, QWidget* parent) {
    if (DesktopHasTextViewer() && QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        return;
    OpenOwnTextViewer(file, parent);
}

}  // namespace vgx
