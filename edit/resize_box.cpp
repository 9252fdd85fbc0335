#include "edit/resize_box.h"

// Qt
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

// Local
#include "app/numbers.h"
#include "app/settings_keys.h"
#include "app/vane.h"
#include "edit/crop_math.h"
#include "edit/dialog_formats.h"

namespace vorlane {

// A number field's number. A Japanese input method types full-width digits,
// signs and stops ("５０．５", "－"); they read as their plain forms.
static double fieldNumber(const QLineEdit *field)
{
    QString text = field->text().normalized(QString::NormalizationForm_KC);
    text.replace(QChar(0x3002), QLatin1Char('.')).replace(QChar(0x2212), QLatin1Char('-'));
    return readNumber(text);
}

ReSizeBox::ReSizeBox(VANE &vane, QWidget *parent) : QDialog(parent), m_vane(vane)
{
    setWindowTitle(QStringLiteral("サイズ変更"));
    const ScreenService &screen = m_vane.services().screen;
    setFixedSize(qRound(6375 / screen.twipsPerPixelX()), qRound(3885 / screen.twipsPerPixelY()));

    Label2 = new QLabel(this);
    place(Label2, 450, 210, 2970, 330);
    struct Caption
    {
        const char16_t *text;
        int left, top, width, height;
    };
    static constexpr Caption captions[10] = {
        { u"％", 2370, 720, 405, 240 },        { u"幅", 465, 1170, 405, 240 },
        { u"高さ", 435, 1605, 405, 240 },      { u"縮尺", 435, 720, 405, 240 },
        { u"ピクセル", 2370, 1620, 855, 240 }, { u"ピクセル", 2355, 1185, 885, 240 },
        { u"切抜き幅", 135, 2265, 870, 240 },  { u"切抜き高", 135, 2700, 885, 240 },
        { u"ピクセル", 2355, 2250, 855, 240 }, { u"ピクセル", 2355, 2700, 855, 240 },
    };
    for (int i = 0; i < 10; ++i) {
        const Caption &c = captions[i];
        Label1[i] = new QLabel(QString::fromUtf16(c.text), this);
        place(Label1[i], c.left, c.top, c.width, c.height);
    }

    // Created in tab order.
    Text1 = addField(1035, 660, 1215, 315);
    Text2[0] = addField(1035, 1110, 1215, 300);
    Text2[1] = addField(1035, 1575, 1215, 300);
    wval = addField(1065, 2205, 1215, 300);
    hval = addField(1065, 2655, 1215, 300);
    Command1 = new QPushButton(QStringLiteral("設定"), this);
    place(Command1, 2160, 3270, 1905, 495);
    Command1->setDefault(true);
    Text3 = new QPlainTextEdit(this);
    place(Text3, 3690, 345, 2370, 1515);
    Text3->setTabChangesFocus(true);
    Text3->setPlainText(QStringLiteral("縮尺と切抜き幅を設定して\n設定ボタンを押して下さい。\n\n"
                                       "切抜きは、設定後に、\nカーソルキー（←・↑・→・↓）\n"
                                       "で微調整して下さい。\nシフトキーを同時に押すと\n"
                                       "大きく移動します。\n"));
    SaveUsualSize = new QPushButton(QStringLiteral("現在の値を常用に登録"), this);
    place(SaveUsualSize, 3645, 2640, 2025, 315);
    SetUsualSize = new QPushButton(QStringLiteral("常用切抜きサイズ"), this);
    place(SetUsualSize, 3660, 2235, 2025, 315);
    for (QPushButton *button : { SaveUsualSize, SetUsualSize })
        button->setAutoDefault(false);

    // A change the dialog makes itself counts as a change of that field,
    // as typing does: the order of these notices decides m_editfield.
    connect(Text1, &QLineEdit::textChanged, this, [this] { m_editfield = -1; });
    for (int i = 0; i < 2; ++i)
        connect(Text2[i], &QLineEdit::textChanged, this, [this, i] { m_editfield = i; });
    connect(Command1, &QPushButton::clicked, this, &ReSizeBox::Command1_Click);
    connect(SaveUsualSize, &QPushButton::clicked, this, &ReSizeBox::SaveUsualSize_Click);
    connect(SetUsualSize, &QPushButton::clicked, this, &ReSizeBox::SetUsualSize_Click);
}

void ReSizeBox::place(QWidget *control, int left, int top, int width, int height)
{
    const ScreenService &screen = m_vane.services().screen;
    const double tx = screen.twipsPerPixelX();
    const double ty = screen.twipsPerPixelY();
    control->setGeometry(qRound(left / tx), qRound(top / ty), qRound(width / tx),
                         qRound(height / ty));
}

QLineEdit *ReSizeBox::addField(int left, int top, int width, int height)
{
    auto *field = new QLineEdit(this);
    place(field, left, top, width, height);
    field->installEventFilter(this);
    return field;
}

void ReSizeBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        Form_Activate();
    }
}

bool ReSizeBox::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (field && event->type() == QEvent::FocusIn) {
        // SelectAllText: the whole text selected, caret at the start.
        field->setSelection(field->text().size(), -field->text().size());
    } else if (field && event->type() == QEvent::FocusOut) {
        // Leaving the field for another window is not leaving it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (field == Text1)
                Text1_LostFocus();
            else if (field == Text2[0] || field == Text2[1])
                Text2_LostFocus(field == Text2[0] ? 0 : 1);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ReSizeBox::Form_Activate()
{
    m_basesize = m_vane.m_size;
    Text1->setText(formatSingle(m_vane.m_size));
    m_orgw = float(m_vane.m_orgx);
    m_orgh = float(m_vane.m_orgy);
    m_vane.TwipsToPixels(m_orgw, m_orgh);
    Label2->setText(QStringLiteral("元のサイズ：幅 ") + formatSingle(m_orgw)
                    + QStringLiteral(" 高さ ") + formatSingle(m_orgh));
    Text1_LostFocus();
    float w = float(m_vane.m_trimw);
    float h = float(m_vane.m_trimh);
    m_vane.TwipsToPixels(w, h);
    hval->setText(formatSingle(h * m_basesize / 100));
    wval->setText(formatSingle(w * m_basesize / 100));
}

void ReSizeBox::Text1_LostFocus()
{
    if (fieldNumber(Text1) < 1)
        Text1->setText(QStringLiteral("1"));
    if (fieldNumber(Text1) > 400)
        Text1->setText(QStringLiteral("400"));
    const double s = fieldNumber(Text1);
    Text2[0]->setText(formatWhole(m_orgw * s / 100));
    Text2[1]->setText(formatWhole(m_orgh * s / 100));
}

void ReSizeBox::Text2_LostFocus(int index)
{
    QLineEdit *field = Text2[index];
    QLineEdit *other = Text2[1 - index];
    if (fieldNumber(field) < 10)
        field->setText(QStringLiteral("10"));
    const double v = fieldNumber(field);
    const double natural = index == 0 ? m_orgw : m_orgh;
    // With no natural size the scale cannot follow the size: it stays.
    if (natural > 0)
        Text1->setText(formatTwoDecimals(v * 100 / natural));
    const double otherNatural = index == 0 ? m_orgh : m_orgw;
    other->setText(formatWhole(otherNatural * fieldNumber(Text1) / 100));
    m_editfield = -1;
}

void ReSizeBox::SetUsualSize_Click()
{
    SettingsStore &settings = m_vane.services().settings;
    wval->setText(settings.getSetting(settings::appTitle, settings::setting, settings::usWidth,
                                      wval->text()));
    hval->setText(settings.getSetting(settings::appTitle, settings::setting, settings::usHeight,
                                      hval->text()));
}

void ReSizeBox::SaveUsualSize_Click()
{
    SettingsStore &settings = m_vane.services().settings;
    settings.saveSetting(settings::appTitle, settings::setting, settings::usWidth, wval->text());
    settings.saveSetting(settings::appTitle, settings::setting, settings::usHeight, hval->text());
}

void ReSizeBox::Command1_Click()
{
    m_vane.SetUndoList();
    // A size typed and confirmed with Enter, without leaving its field.
    if (m_editfield >= 0)
        Text2_LostFocus(m_editfield);
    // Enter skips the range check of leaving the field; a zoom below 1
    // (0, negative or no number) would divide by zero below and in every
    // later fitting, so it becomes 1 as leaving the field would make it.
    float size = float(fieldNumber(Text1));
    if (!(size >= 1))
        size = 1;
    m_vane.m_size = size;
    float w = float(fieldNumber(wval));
    float h = float(fieldNumber(hval));
    m_vane.PixelsToTwips(w, h);
    const CropRect crop = sizedCrop(w, h, size, { m_vane.m_trimx, m_vane.m_trimy, 0, 0 },
                                    m_vane.m_orgx, m_vane.m_orgy);
    m_vane.m_trimx = crop.x;
    m_vane.m_trimy = crop.y;
    m_vane.m_trimw = crop.w;
    m_vane.m_trimh = crop.h;
    m_vane.FormResize();
    accept();
}

} // namespace vorlane
