// The about and options window.

#include "exchange/about_window.h"

// Qt
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

// Local
#include "app/numbers.h"
#include "app/settings_keys.h"
#include "platform/settings_store.h"
#include "platform/shell_service.h"

namespace vorlane {

// The dialog is laid out in twips at 15 twips per pixel, its design
// resolution, like the memo window's controls.
static int px(int twips) { return (twips + 7) / 15; }

static const char *const links[2]
    = { "https://www.qt.io/", "https://wvware.sourceforge.net/libwmf.html" };

frmAbout::frmAbout(SettingsStore &settings, ShellService &shell, QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint
            | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_settings(settings)
    , m_shell(shell)
{
    setFixedSize(px(5730), px(4440));

    picIcon = new QLabel(this);
    place(picIcon, 240, 240, 480, 480);
    picIcon->setPixmap(QApplication::windowIcon().pixmap(picIcon->size()));
    lblTitle = new QLabel(this);
    place(lblTitle, 1050, 240, 3885, 480);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = new QLabel(this);
    place(lblVersion, 1050, 780, 3885, 225);
    lblDescription = new QLabel(this);
    place(lblDescription, 1035, 1095, 4470, 870);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (int i = 0; i < 2; ++i) {
        Label2[i] = new QLabel(QString::fromLatin1(links[i]), this);
        place(Label2[i], 1035, 2040 + 225 * i, 4470, 225);
        QPalette blue = Label2[i]->palette();
        blue.setColor(QPalette::WindowText, Qt::blue);
        Label2[i]->setPalette(blue);
        Label2[i]->setCursor(Qt::PointingHandCursor);
        Label2[i]->installEventFilter(this);
    }
    TrimCopy = new QCheckBox(QStringLiteral("表示イメージをクリップボードにコピーする"), this);
    place(TrimCopy, 960, 2535, 4155, 330);
    ShowClip = new QCheckBox(QStringLiteral("起動時にクリップボードのイメージを表示"), this);
    place(ShowClip, 960, 2895, 4155, 330);
    // An etched separator: a grey line with a white one under it.
    const QColor lineColors[2] = { QColor(128, 128, 128), Qt::white };
    for (int i = 0; i < 2; ++i) {
        auto *line = new QFrame(this);
        place(line, 0, 3330 + 15 * i, 5730, 15);
        line->setAutoFillBackground(true);
        QPalette pal = line->palette();
        pal.setColor(QPalette::Window, lineColors[i]);
        line->setPalette(pal);
    }
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    place(cmdOK, 4170, 3870, 1310, 345);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    Form_Load();
}

void frmAbout::place(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(px(left), px(top), px(width), px(height));
}

QString frmAbout::versionText()
{
    return QString::number(VORLANE_VERSION_MAJOR) + QLatin1Char('.')
        + QString::number(VORLANE_VERSION_MINOR) + QLatin1Char('.')
        + QString::number(VORLANE_VERSION_PATCH);
}

// A stored option reads as its leading number taken as a whole number;
// anything but 1, text that is no number included, leaves the box unchecked.
static Qt::CheckState storedState(const QString &text)
{
    return toInt32(readNumber(text)) == 1 ? Qt::Checked : Qt::Unchecked;
}

void frmAbout::Form_Load()
{
    setWindowTitle(settings::appTitle + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    lblVersion->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + versionText());
    lblTitle->setText(settings::appTitle);
    lblDescription->setText(QStringLiteral("Vorlane: 画像ビューア\n"
                                           "使用ライブラリ: Qt 6、libwmf、SDL2_mixer、\n"
                                           "FluidSynth。各作者に感謝します。"));
    const QString zero = QStringLiteral("0");
    TrimCopy->setCheckState(storedState(
        m_settings.getSetting(settings::appTitle, settings::setting, settings::trimCopy, zero)));
    ShowClip->setCheckState(storedState(
        m_settings.getSetting(settings::appTitle, settings::setting, settings::showClip, zero)));
}

void frmAbout::cmdOK_Click()
{
    auto stateText = [](const QCheckBox *box) {
        return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    };
    m_settings.saveSetting(
        settings::appTitle, settings::setting, settings::trimCopy, stateText(TrimCopy));
    m_settings.saveSetting(
        settings::appTitle, settings::setting, settings::showClip, stateText(ShowClip));
    accept();
}

void frmAbout::Label2_Click(int index) { m_shell.ShellOpen(Label2[index]->text()); }

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    // OK is also the cancel button: Esc confirms like Enter. The close box
    // still rejects, storing nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < 2; ++i) {
            if (watched == Label2[i]) {
                Label2_Click(i);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vorlane
