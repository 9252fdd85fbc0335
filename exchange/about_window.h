#pragma once

// Qt
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace vorlane {

class SettingsStore;
class ShellService;

// The about and options window: title, version, credits, two web links and
// the two clipboard options. OK (also Enter and Esc) stores the options;
// the close box stores nothing.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    frmAbout(SettingsStore &settings, ShellService &shell, QWidget *parent = nullptr);

    // "1.3.19": major, minor and revision without leading zeros.
    [[nodiscard]] static QString versionText();

    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *Label2[2] = {};
    QCheckBox *TrimCopy = nullptr;
    QCheckBox *ShowClip = nullptr;
    QPushButton *cmdOK = nullptr;

    void cmdOK_Click();
    void Label2_Click(int index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void place(QWidget *control, int left, int top, int width, int height);

    SettingsStore &m_settings;
    ShellService &m_shell;
};

} // namespace vorlane
