#include "ui/settings/extras_section.h"

#include <QDateEdit>
#include <QGridLayout>

#include "records/utility_object.h"
#include "ui/widgets/owner_draw_button.h"

namespace vgx {

ExtrasSection::ExtrasSection(WindowContext& context, QWidget* parent)
    : SectionFrame(QStringLiteral("pnlExtra"), QStringLiteral("Monitorar Pastas"), parent),
      context_(context) {
    QGridLayout* grid = Grid();
    const auto button = [&](const char* name, const char* caption, const char* tip, int image) {
        auto* b = new OwnerDrawButton(QString::fromUtf8(caption), Frame());
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromUtf8(tip));
        b->setImageStrip(context_.buttonIcons);
        b->setImageIndex(image);
        return b;
    };
    cmdLog = button("cmdLog", "&Logs", "Visualizar Arquivo de Log", 14);
    Dt = new QDateEdit(Frame());
    Dt->setObjectName(QStringLiteral("Dt"));
    Dt->setAccessibleName(QStringLiteral("Data do Log"));
    Dt->setCalendarPopup(true);
    Dt->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    cmdReset = button("cmdReset", "Reset &Falhas", "Resetar Falhas do Pooling", 13);
    cmdBot = button("cmdBot", "&Reiniciar", "Reiniciar o Computador", 12);
    grid->addWidget(cmdLog, 0, 0);
    grid->addWidget(Dt, 0, 1);
    grid->addWidget(cmdReset, 1, 0);
    grid->addWidget(cmdBot, 2, 0);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);
    connect(cmdLog, &QPushButton::clicked, this, [this] { cmdLog_Click(); });
    connect(cmdReset, &QPushButton::clicked, this, [this] { cmdReset_Click(); });
    connect(cmdBot, &QPushButton::clicked, this, [this] { cmdBot_Click(); });
    ResetDate();
}

void ExtrasSection::ResetDate() {
    const QDate today = QDate::currentDate();
    Dt->setMaximumDate(today);
    Dt->setDate(today);
}

void ExtrasSection::cmdLog_Click() {
    const QDate d = Dt->date();
    const LocalDays day = DayOf(
        MakeLocalTime(d.year(), static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day())));
    const std::filesystem::path file = context_.engine.Log().FileForDay(day);
    if (!UtilityObject::FileExists(file)) {
        context_.Tell(ErrorMessage(kNoLogText));
        return;
    }
    if (context_.showTextFile)
        context_.showTextFile(QString::fromStdString(file.string()), window());
}

void ExtrasSection::cmdReset_Click() {
    context_.resetFailures();
}

void ExtrasSection::cmdBot_Click() {
    context_.restartButton();
}

}  // namespace vgx
