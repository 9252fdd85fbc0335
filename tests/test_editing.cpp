// Editing: the undo entries, the resize dialog's number formats and the crop
// and slide-show arithmetic as tables; then their wiring in the window: the
// rubber band, undo, the keys in and out of a show, and the resize dialog.

// Qt
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// Local
#include "edit/crop_math.h"
#include "edit/dialog_formats.h"
#include "edit/key_codes.h"
#include "edit/resize_box.h"
#include "edit/slide_pace.h"
#include "edit/undo_entry.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

using Crop = QList<int>; // x, y, w, h in twips; empty: none, or the whole picture

struct Drag
{
    bool picture, armed, onMargin; // armed: X pressed first
    int button; // with keyboard modifiers
    QPoint from, to; // pixels from the surface's corner
    Crop crop;
    int dragOut; // 0 none, 1 plain, 2 with Shift
};
Q_DECLARE_METATYPE(Drag)

// A viewer showing a four-colour picture of the given size (none if empty).
struct Shown : Started
{
    explicit Shown(QSize picture = { 200, 100 })
    {
        if (!picture.isEmpty())
            v->LoadPictureFile(box.picture("p.bmp", picture));
    }
    Crop crop() { return { v->m_trimx, v->m_trimy, v->m_trimw, v->m_trimh }; }
};

static void mouse(QWidget *w, QEvent::Type type, int buttonAndModifiers, QPoint at)
{
    const auto b = Qt::MouseButton(buttonAndModifiers & ~Qt::KeyboardModifierMask);
    QMouseEvent e(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : b,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : b,
                  Qt::KeyboardModifiers(buttonAndModifiers & Qt::KeyboardModifierMask));
    QApplication::sendEvent(w, &e);
}

static void typeInto(QLineEdit *field, const QString &text)
{
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    QTest::keyClicks(field, text);
}

static std::unique_ptr<ReSizeBox> openDialog(Shown &s)
{
    auto dialog = std::make_unique<ReSizeBox>(s.v.vane());
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    if (!QTest::qWaitForWindowActive(dialog.get()))
        qWarning("the dialog is not active: focus changes will not arrive");
    return dialog;
}

class TestEditing : public QObject
{
    Q_OBJECT
private slots:
    // Each rule of the pure functions once: the undo entry read back, the
    // "#####" and "###.##" formats, the crop a band selects on a 3000 × 2000
    // twip surface showing the crop from (150, 300), the crop the dialog
    // sizes from (6000, 1500) of a 9600 × 7200 twip picture, and the slide
    // show's pace.
    void arithmetic_data()
    {
        columns<QString, QString>({ "got", "expected" });
        const auto row = [](const QString &name, const QString &got, const QString &expected) {
            QTest::newRow(qPrintable(name)) << got << expected;
        };
        const auto undo = [](const char *entry) {
            const std::optional<UndoEntry> read = parseUndoEntry(QString(entry));
            return read ? formatUndoEntry(*read) : "unusable";
        };
        for (const char *entry :
             { "100,0,0,9600,7200", "66.66666,15,30,900,600", "10,-15,-30,9,6" })
            row(entry, undo(entry), entry);
        // A decimal comma, a missing field, a zoom, width or height that would
        // divide by zero, a number beyond 32 bits, an exponent.
        for (const char *entry :
             { "66,67,0,0,9600,7200", "100,,0,9600,7200", "0,0,0,9600,7200", "100,0,0,0,7200",
               "100,0,0,9600,0", "100,0,0,9999999999,7200", "1e2,0,0,96,72" })
            row(entry, undo(entry), "unusable");
        const auto formats = [](double v) { return formatWhole(v) + '|' + formatTwoDecimals(v); };
        row("format below 1", formats(0.5), "1|.5");
        row("format rounding to 0", formats(0.3), "|.3");
        row("format 0", formats(0), "|.");
        row("format negative, halves away from 0", formats(-0.125), "|-.13");
        row("format huge", formats(1e20), "100000000000000000000|100000000000000000000.");
        const auto text = [](std::optional<CropRect> c) {
            return c ? QString("%1 %2 %3 %4").arg(c->x).arg(c->y).arg(c->w).arg(c->h) : "none";
        };
        const auto band = [&](QPoint at, QPointF to, float size) {
            return text(selectionToCrop(at.x(), at.y(), to.x(), to.y(), 3000, 2000, size,
                                        { 150, 300, 1, 1 }));
        };
        const QPoint o(0, 0);
        row("band outside, backwards", band({ 2400, 1500 }, { 9000, -70 }, 100),
            "2550 300 600 1500");
        row("band halves to even", band(o, { 22.5, 37.5 }, 100), "150 300 22 38");
        row("band under a twip", band(o, { 1.5, 100 }, 400), "none");
        const auto sized = [&](double w, double h, float size) {
            return text(sizedCrop(w, h, size, { 6000, 1500, 0, 0 }, 9600, 7200));
        };
        row("sized under a twip", sized(0.4, 750, 100), "0 1500 9600 750");
        row("sized too large", sized(1e12, 7201, 100), "0 0 9600 7200");
        const auto n = [](int value) { return QString::number(value); };
        // The seconds a key sets: digits 1 to 9, 10 for 0, 10 to 19 on the
        // keypad; other keys, none.
        for (const auto &[key, seconds] :
             { std::pair{ vk::Digit0 + 9, 9 }, { vk::Digit0, 10 }, { vk::Numpad0, 10 },
               { vk::Numpad0 + 9, 19 }, { vk::Digit0 - 1, 0 }, { vk::Digit0 + 10, 0 },
               { vk::Numpad0 - 1, 0 }, { vk::Numpad0 + 10, 0 } })
            row("slide key code " + n(key), n(slideSeconds(key)), n(seconds));
        row("seconds across midnight", n(secondsSince(QTime(23, 59, 58), QTime(0, 0, 1))), "3");
        row("retimed at once", n(retimedInterval(0)), "100");
    }
    void arithmetic()
    {
        QFETCH(QString, got);
        QTEST(got, "expected");
    }

    void drag_data()
    {
        QTest::addColumn<Drag>("d");
        const int r = Qt::RightButton, l = Qt::LeftButton, m = Qt::MiddleButton;
        const QPoint a(20, 10), b(120, 60);
        const Crop band{ 300, 150, 1500, 750 }, none;
        QTest::newRow("right") << Drag{ true, false, false, r, a, b, band, 0 };
        QTest::newRow("left armed, backwards") << Drag{ true, true, false, l, b, a, band, 0 };
        QTest::newRow("press on the margin")
            << Drag{ true, false, true, r, { -30, 40 }, a, { 0, 150, 300, 450 }, 0 };
        QTest::newRow("click") << Drag{ true, true, false, r, a, a, none, 0 };
        QTest::newRow("line") << Drag{ true, false, false, r, a, { 120, 10 }, none, 0 };
        QTest::newRow("left unarmed") << Drag{ true, false, false, l, a, b, none, 1 };
        QTest::newRow("Shift+left armed")
            << Drag{ true, true, false, l | Qt::ShiftModifier, a, b, none, 2 };
        QTest::newRow("middle") << Drag{ true, true, false, m, a, b, none, 0 };
        QTest::newRow("no picture") << Drag{ false, false, false, r, a, b, none, 0 };
    }
    void drag()
    {
        QFETCH(Drag, d);
        Shown s(d.picture ? QSize(200, 100) : QSize());
        VANE &v = s.v.vane();
        const QImage before = v.Picture1->Image();
        v.m_shiftdrag = d.dragOut != 2; // the other way, to see a drag-out set it
        if (d.armed)
            QTest::keyClick(v.Picture1, Qt::Key_X);
        QWidget *target = d.onMargin ? v.Picture1->parentWidget() : v.Picture1;
        const QPoint offset = d.onMargin ? v.Picture1->pos() : QPoint();
        mouse(target, QEvent::MouseButtonPress, d.button, d.from + offset);
        mouse(target, QEvent::MouseMove, d.button, d.to + offset);
        // The band shows on the screen, never in the view.
        QCOMPARE(v.Picture1->Image(), before);
        if (v.m_trimming && !v.Picture1->AutoRedraw() && d.from != d.to)
            QVERIFY(v.Picture1->grab().toImage().convertToFormat(before.format()) != before);
        mouse(target, QEvent::MouseButtonRelease, d.button, d.to + offset);
        QCOMPARE(s.crop(), d.crop.isEmpty() ? Crop({ 0, 0, v.m_orgx, v.m_orgy }) : d.crop);
        QCOMPARE(v.UndoList.size(), d.crop.isEmpty() ? 0 : 1);
        QCOMPARE(v.m_shiftdrag, d.dragOut != 1);
        QCOMPARE(v.m_trimming, d.armed && d.button == Qt::MiddleButton);
        QVERIFY(v.Picture1->AutoRedraw());
    }

    void cropTwiceThenUndo()
    {
        Shown s;
        VANE &v = s.v.vane();
        v.big_Click();
        // At 110 % 22 pixels of the surface are 300 twips of the picture; the
        // second selection is taken inside the first.
        for (const QLine &band : { QLine(22, 11, 132, 66), QLine(11, 11, 55, 33) }) {
            mouse(v.Picture1, QEvent::MouseButtonPress, Qt::RightButton, band.p1());
            mouse(v.Picture1, QEvent::MouseButtonRelease, Qt::RightButton, band.p2());
        }
        QCOMPARE(s.crop(), Crop({ 450, 300, 600, 300 }));
        v.Undo_Click();
        QCOMPARE(s.crop(), Crop({ 300, 150, 1500, 750 }));
        for (int i = 0; i < 3; ++i) // the third finds the list empty
            QTest::keyClick(v.Picture1, Qt::Key_F11);
        QCOMPARE(v.m_size, 100.0f);
        QCOMPARE(s.crop(), Crop({ 0, 0, 3000, 1500 }));
    }

    void keys()
    {
        // Outside a show the arrows move a 300 twip square crop of a 600 ×
        // 450 twip picture by a pixel, ten with Shift, Ctrl or Alt (only
        // where the margin is larger), and end crop mode; a digit does nothing.
        Shown s{ QSize() };
        VANE &v = s.v.vane();
        for (const char *name : { "a.bmp", "b.bmp", "c.bmp" })
            s.box.picture(QString("f/") + name, { 40, 30 });
        v.OpenPath(s.box.path() + "/f/a.bmp");
        const auto press = [&v](QKeyCombination key) {
            QTest::keyClick(v.Picture1, key.key(), key.keyboardModifiers());
        };
        const struct { QKeyCombination key; QPoint from, to; } moves[] = {
            { Qt::Key_Left, { 150, 150 }, { 135, 150 } }, { Qt::Key_Left, { 15, 0 }, { 15, 0 } },
            { Qt::Key_Left | Qt::ShiftModifier, { 300, 0 }, { 150, 0 } },
            { Qt::Key_Left | Qt::ControlModifier, { 151, 0 }, { 1, 0 } },
            { Qt::Key_Left | Qt::AltModifier, { 160, 0 }, { 10, 0 } },
            { Qt::Key_Up, { 0, 16 }, { 0, 1 } }, { Qt::Key_Down, { 0, 0 }, { 0, 15 } },
            { Qt::Key_Down, { 0, 135 }, { 0, 135 } }, { Qt::Key_Right, { 284, 0 }, { 299, 0 } },
            { Qt::Key_Right, { 285, 0 }, { 285, 0 } }, { Qt::Key_3, { 15, 15 }, { 15, 15 } },
        };
        for (const auto &m : moves) {
            std::tie(v.m_trimx, v.m_trimy, v.m_trimw, v.m_trimh)
                = std::tuple(m.from.x(), m.from.y(), 300, 300);
            v.trimpic_Click();
            press(m.key);
            QCOMPARE(QPoint(v.m_trimx, v.m_trimy), m.to);
            QCOMPARE(v.m_trimming, m.key.key() == Qt::Key_3);
            QCOMPARE(v.Picture1->cursor().shape(), m.key.key() == Qt::Key_3 ? Qt::CrossCursor
                                                                            : Qt::ArrowCursor);
        }
        QVERIFY(v.UndoList.isEmpty());
        // In a show a key that paces it restarts it at once, from the next
        // picture; Space sets the time since the last step, unless it is due.
        v.SlideShow_Click();
        const struct { QKeyCombination key; int secondsSinceStep, interval; } paces[] = {
            { Qt::Key_3, 0, 3000 }, { Qt::Key_3 | Qt::KeypadModifier, 0, 13000 },
            { Qt::Key_Space, 3, 3000 }, { Qt::Key_Space, 12, 0 }, { Qt::Key_Left, 1, 0 },
        };
        for (const auto &p : paces) {
            QTime before; // pressed again if the clock's second changed
            do {
                v.ssTimer.setInterval(10000);
                v.m_bmpidx = 0;
                before = VANE::nowToSecond();
                v.m_slidetime = before.addSecs(-p.secondsSinceStep);
                press(p.key);
            } while (before != VANE::nowToSecond());
            QVERIFY(v.ssTimer.isActive());
            QCOMPARE(v.ssTimer.interval(), p.interval ? p.interval : 10000);
            QCOMPARE(v.m_bmpidx, p.interval ? 1 : 0);
            QCOMPARE(v.m_slidetime == before, p.interval != 0);
        }
    }

    void dialogFields()
    {
        // A 3000 twip wide crop at x = 6000 of a 640 × 480 pixel picture at 50 %.
        Shown s({ 640, 480 });
        VANE &v = s.v.vane();
        std::tie(v.m_trimx, v.m_trimw, v.m_size) = std::tuple(6000, 3000, 50.0f);
        const auto dialog = openDialog(s);
        QLineEdit *fields[] = { dialog->Text1, dialog->Text2[0], dialog->Text2[1], dialog->wval };
        const auto texts = [&] {
            return QStringList({ fields[0]->text(), fields[1]->text(), fields[2]->text(),
                                 dialog->wval->text(), dialog->hval->text() }).join(' ');
        };
        QCOMPARE(dialog->Label2->text(), QString("元のサイズ：幅 640 高さ 480"));
        QCOMPARE(texts(), QString("50 320 240 100 240"));
        // Leaving a field brings it into range and the others in line.
        const struct { int field; const char *typed, *expected; } steps[] = {
            { 1, "320", "50. 320 240 100" },     { 2, "100", "20.83 133 100 100" },
            { 0, "1000", "400 2560 1920 100" },  { 0, "0", "1 6 5 100" },
            { 1, "5", "1.56 10 7 100" },         { 0, "50", "50 320 240 100" },
            { 3, "200", "50. 320 240 200" },
        };
        for (const auto &step : steps) {
            typeInto(fields[step.field], step.typed);
            QTest::keyClick(fields[step.field], Qt::Key_Tab);
            QCOMPARE(texts(), QString(step.expected) + " 240");
        }
        // The usual crop size: nothing stored leaves the fields; stored, it
        // comes back as typed.
        dialog->SetUsualSize->click();
        QCOMPARE(texts(), QString("50. 320 240 200 240"));
        dialog->SaveUsualSize->click();
        // "設定": the crop 200 × 240 pixels at 50 %, inside the picture.
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        QCOMPARE(std::tuple(dialog->result(), v.UndoList.size(), v.m_size, s.crop()),
                 std::tuple(int(QDialog::Accepted), 1, 50.0f, Crop({ 3600, 0, 6000, 7200 })));
        // Enter applies without the range check of leaving the field, but a
        // zoom of 0 would divide by zero: it becomes 1. "設定" at once takes
        // the scale from the height, with two decimals.
        for (const auto &[typed, size] :
             { std::pair{ "450", 450.0f }, { "0", 1.0f }, { "", 66.67f } }) {
            v.m_size = 66.66666f;
            const auto again = openDialog(s);
            typeInto(again->Text1, typed);
            QTest::keyClick(again->Text1, Qt::Key_Return);
            QCOMPARE(v.m_size, size);
        }
        QCOMPARE(v.UndoList.size(), 4);
        const auto last = openDialog(s);
        last->wval->clear();
        last->SetUsualSize->click();
        QCOMPARE(last->wval->text() + ' ' + last->hval->text(), QString("200 240"));
    }
};

QTEST_MAIN(TestEditing)
#include "test_editing.moc"
