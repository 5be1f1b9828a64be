#pragma once

#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "ui/settings/window_context.h"

class QGroupBox;
class QKeySequence;
class QLabel;

namespace vgx {

class Banner;
class BevelPanel;
class IconBox;
class ScrollColumn;
class SettingsBinding;
class ConfigSection;
class FoldersSection;
class InternetSection;
class IisSection;
class ExtrasSection;

// frmMenu, the settings window: a frameless window with a banner as its caption, a column of
// five menu buttons, the section panel in front and the help frame under it.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSections = 5;
    static constexpr int kNoButton = 99;

    explicit MainWindow(WindowContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Menu buttons and sections.
    void Boot_Click(int index);
    void Boot_MouseDown(int index);
    void Boot_MouseMove(int index);
    void Pnl_MouseMove();
    void Pct1_MouseMove();
    void ShowSectionHelp(int index);
    // The banner's "X" (0: to the tray) and "?" (1: About).
    void CmdSair_Click(int index);
    // Lays out the menu column and sets the log date to today; runs whenever the window is
    // shown or restored.
    void Form_Resize();

    int CurrentSection() const { return section_; }
    const std::string& HelpText() const { return help_; }
    BevelPanel* MenuButton(int index) const { return boot_.at(static_cast<std::size_t>(index)); }
    IconBox* MenuIconBox(int index) const { return image1_.at(static_cast<std::size_t>(index)); }
    ScrollColumn* MenuColumn() const { return pct1_; }
    BevelPanel* BannerButton(int index) const {
        return cmdSair_.at(static_cast<std::size_t>(index));
    }
    QWidget* Section(int index) const { return panels_.at(static_cast<std::size_t>(index)); }
    ConfigSection* Config() const { return conf_; }
    FoldersSection* Folders() const { return pasta_; }
    InternetSection* Internet() const { return net_; }
    IisSection* Iis() const { return iis_; }
    ExtrasSection* Extras() const { return extra_; }
    SettingsBinding& Binding() const { return *binding_; }

signals:
    // "X": the program goes to the tray.
    void trayRequested();
    // "?": the About window.
    void aboutRequested();
    // The window was closed (not hidden): the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildBanner();
    void BuildMenu();
    void BuildSections();
    void SetupMenuButtons();
    void DrawMenuIcon(int index, bool plain);
    void MoveIconBox(int index, int offsetTwips);
    void Form_Activate();
    // Alt and the underlined letter of a menu button open its section, as a click does.
    void UpdateMenuLetters();
    // A letter shared with other controls: true when it opened a section.
    bool OpenByLetter(const QKeySequence& letter);

    WindowContext& context_;
    SettingsBinding* binding_;
    Banner* pctLogo_ = nullptr;
    std::array<BevelPanel*, 2> cmdSair_{};
    ScrollColumn* pct1_ = nullptr;
    std::array<BevelPanel*, kSections> boot_{};
    std::array<IconBox*, kSections> image1_{};
    std::array<QString, kSections> captions_;
    std::array<QWidget*, kSections> panels_{};
    ConfigSection* conf_ = nullptr;
    FoldersSection* pasta_ = nullptr;
    InternetSection* net_ = nullptr;
    IisSection* iis_ = nullptr;
    ExtrasSection* extra_ = nullptr;
    QGroupBox* frmHelp_ = nullptr;
    QLabel* lblOBS_ = nullptr;
    int section_ = 0;
    std::optional<int> helpIndex_;
    std::string help_;
};

}  // namespace vgx
