// Editing: the undo entries and the resize dialog's number formats, the crop
// a rubber band selects with the mouse, undo, the keyboard in and out of a
// slide show, the resize dialog, and the view around a crop.

// Qt
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// Local
#include "app/fitting.h"
#include "edit/crop_math.h"
#include "edit/dialog_formats.h"
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
struct Key
{
    int key; // with keyboard modifiers
    bool show;
    QPoint from, to; // crop origin, twips
    int secondsSinceStep;
    int interval; // ms afterwards; below 0: the key is ignored
};
struct Set
{
    QSize picture;
    float sizeBefore;
    QString scale; // typed, then Enter; null: "設定" clicked
    QString width; // typed into wval first; null: untyped
    float size;
    Crop crop; // from a crop at x = 6000 of a 640-pixel picture; empty: unchecked
};
Q_DECLARE_METATYPE(Drag)
Q_DECLARE_METATYPE(Key)
Q_DECLARE_METATYPE(Set)

// A viewer showing a four-colour picture of the given size (none if empty).
struct Shown
{
    explicit Shown(QSize picture = { 200, 100 }) : v(box.path())
    {
        v->Form_Load("");
        if (!picture.isEmpty())
            v->LoadPictureFile(box.picture("p.bmp", picture));
    }
    Crop crop() { return { v->m_trimx, v->m_trimy, v->m_trimw, v->m_trimh }; }
    Sandbox box;
    Viewer v;
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
    // Taking the focus selects the text (the first field has it already).
    if (field->hasFocus())
        field->selectAll();
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_Backspace);
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
    void undoEntry_data();
    void undoEntry();
    void formats_data();
    void formats();
    void selection_data();
    void selection();
    void secondsAcrossMidnight() { QCOMPARE(secondsSince(QTime(23, 59, 58), QTime(0, 0, 1)), 3); }
    void drag_data();
    void drag();
    void cropTwiceThenUndo();
    void edgeInsideAPixel();
    void resizedWindowKeepsTheSurfaceCentred();
    void keys_data();
    void keys();
    void dialogOpening();
    void dialogFields_data();
    void dialogFields();
    void dialogSet_data();
    void dialogSet();
    void usualSize();
};

void TestEditing::undoEntry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("usable");
    for (const char *text : { "100,0,0,9600,7200", "66.66666,15,30,900,600", "10,-15,-30,9,6" })
        QTest::newRow(text) << text << true;
    // A decimal comma, a missing field, a zoom or size that would divide by
    // zero, a number beyond 32 bits, an exponent.
    for (const char *text : { "66,67,0,0,9600,7200", "100,,0,9600,7200", "0,0,0,9600,7200",
                              "100,0,0,0,7200", "100,0,0,9999999999,7200", "1e2,0,0,96,72" })
        QTest::newRow(text) << text << false;
}

void TestEditing::undoEntry()
{
    QFETCH(QString, text);
    const std::optional<UndoEntry> entry = parseUndoEntry(text);
    QTEST(entry.has_value(), "usable");
    if (entry) // reads back to the same text
        QCOMPARE(formatUndoEntry(*entry), text);
}

void TestEditing::formats_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("whole"); // "#####"
    QTest::addColumn<QString>("twoDecimals"); // "###.##"
    QTest::newRow("whole") << 50.0 << "50" << "50.";
    QTest::newRow("below 1") << 0.5 << "1" << ".5";
    QTest::newRow("rounds to 0") << 0.3 << "" << ".3";
    QTest::newRow("0") << 0.0 << "" << ".";
    QTest::newRow("two thirds") << 66.666666 << "67" << "66.67";
    QTest::newRow("negative, halves away from 0") << -0.125 << "" << "-.13";
    QTest::newRow("huge") << 1e20 << "100000000000000000000" << "100000000000000000000.";
}

void TestEditing::formats()
{
    QFETCH(double, value);
    QTEST(formatWhole(value), "whole");
    QTEST(formatTwoDecimals(value), "twoDecimals");
}

void TestEditing::selection_data()
{
    // On a 3000 × 2000 twip surface showing the crop from (150, 300).
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QPointF>("release");
    QTest::addColumn<float>("size");
    QTest::addColumn<Crop>("crop");
    const QPoint o(0, 0);
    QTest::newRow("200 % halves") << o << QPointF(100, 60) << 200.0f << Crop{ 150, 300, 50, 30 };
    QTest::newRow("50 % doubles") << o << QPointF(100, 60) << 50.0f << Crop{ 150, 300, 200, 120 };
    QTest::newRow("outside, backwards")
        << QPoint(2400, 1500) << QPointF(9000, -70) << 100.0f << Crop{ 2550, 300, 600, 1500 };
    QTest::newRow("halves to even")
        << o << QPointF(22.5, 37.5) << 100.0f << Crop{ 150, 300, 22, 38 };
    QTest::newRow("under a twip") << o << QPointF(1.5, 100) << 400.0f << Crop{};
}

void TestEditing::selection()
{
    QFETCH(QPoint, start);
    QFETCH(QPointF, release);
    QFETCH(float, size);
    const std::optional<CropRect> c = selectionToCrop(start.x(), start.y(), release.x(),
                                                      release.y(), 3000, 2000, size,
                                                      { 150, 300, 1, 1 });
    QTEST(c ? Crop({ c->x, c->y, c->w, c->h }) : Crop(), "crop");
}

void TestEditing::drag_data()
{
    QTest::addColumn<Drag>("d");
    const int r = Qt::RightButton, l = Qt::LeftButton, m = Qt::MiddleButton;
    const QPoint a(20, 10), b(120, 60);
    const Crop band{ 300, 150, 1500, 750 }, none;
    QTest::newRow("right") << Drag{ true, false, false, r, a, b, band, 0 };
    QTest::newRow("left armed, backwards") << Drag{ true, true, false, l, b, a, band, 0 };
    QTest::newRow("press on the margin")
        << Drag{ true, false, true, r, { -30, -5 }, a, { 0, 0, 300, 150 }, 0 };
    QTest::newRow("click") << Drag{ true, true, false, r, a, a, none, 0 };
    QTest::newRow("line") << Drag{ true, false, false, r, a, { 120, 10 }, none, 0 };
    QTest::newRow("left unarmed") << Drag{ true, false, false, l, a, b, none, 1 };
    QTest::newRow("Shift+left armed")
        << Drag{ true, true, false, l | Qt::ShiftModifier, a, b, none, 2 };
    QTest::newRow("middle") << Drag{ true, true, false, m, a, b, none, 0 };
    QTest::newRow("no picture") << Drag{ false, false, false, r, a, b, none, 0 };
}

void TestEditing::drag()
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
}

void TestEditing::cropTwiceThenUndo()
{
    Shown s;
    VANE &v = s.v.vane();
    v.big_Click();
    QCOMPARE(v.UndoList, QStringList{ "100,0,0,3000,1500" });
    // At 110 % 22 pixels of the surface are 300 twips of the picture; the
    // second selection is taken inside the first.
    for (const QRect &band : { QRect(22, 11, 110, 55), QRect(11, 11, 44, 22) }) {
        mouse(v.Picture1, QEvent::MouseButtonPress, Qt::RightButton, band.topLeft());
        mouse(v.Picture1, QEvent::MouseMove, Qt::RightButton, band.center());
        mouse(v.Picture1, QEvent::MouseButtonRelease, Qt::RightButton,
              band.bottomRight() + QPoint(1, 1));
    }
    QCOMPARE(s.crop(), Crop({ 450, 300, 600, 300 }));
    v.Undo_Click();
    QCOMPARE(s.crop(), Crop({ 300, 150, 1500, 750 }));
    for (int i = 0; i < 3; ++i) // the third finds the list empty
        QTest::keyClick(v.Picture1, Qt::Key_F11);
    QCOMPARE(v.m_size, 100.0f);
    QCOMPARE(s.crop(), Crop({ 0, 0, 3000, 1500 }));
    // An entry saved for a larger picture shows what exists of a smaller
    // one, over the background.
    v.UndoList << "100,0,0,3000,1500";
    v.LoadPictureFile(s.box.picture("small.bmp", { 20, 10 }));
    v.Undo_Click();
    const QImage view = v.Picture1->Image();
    QCOMPARE(view.size(), QSize(200, 100));
    QVERIFY(closeColor(rgbAt(view, 15, 2), rgb(0, 255, 0), 40));
    QCOMPARE(rgbAt(view, 100, 50), v.Picture1->BackColor().rgb() & 0xffffff);
}

void TestEditing::edgeInsideAPixel()
{
    // The picture's right edge falls inside a pixel of the view: the pixels
    // past it are background, never black.
    for (const int past : { 44, 47, 50, 53 }) {
        Shown s({ 20, 20 });
        s.v->m_trimw = 300 + past;
        s.v->FormResize();
        const QImage view = s.v->Picture1->Image();
        QVERIFY(closeColor(rgbAt(view, 18, 2), rgb(0, 255, 0), 40));
        for (int x = 20; x < view.width(); ++x)
            QCOMPARE(rgbAt(view, x, 2), s.v->Picture1->BackColor().rgb() & 0xffffff);
    }
}

void TestEditing::resizedWindowKeepsTheSurfaceCentred()
{
    Shown s;
    VANE &v = s.v.vane();
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    const auto centred = [&v] {
        const SurfacePos at = centerSurface(v.windowWidth(), v.windowHeight(),
                                            v.Picture1->Width(), v.Picture1->Height());
        return QPoint(qRound(at.left / 15.0), qRound(at.top / 15.0)) == v.Picture1->pos();
    };
    const QPoint before = v.Picture1->pos();
    v.resize(v.width() + 160, v.height() + 90); // as the user drags the frame
    QTRY_VERIFY(centred() && v.Picture1->pos() != before);
}

void TestEditing::keys_data()
{
    // A 300 × 300 twip crop of a 600 × 450 twip picture; a step of the show
    // shows the next picture whole.
    QTest::addColumn<Key>("k");
    const int shift = Qt::ShiftModifier, keypad = Qt::KeypadModifier, ctrl = Qt::ControlModifier;
    const QPoint o(0, 0), at(30, 0);
    QTest::newRow("show: 3") << Key{ Qt::Key_3, true, at, o, 0, 3000 };
    QTest::newRow("show: keypad 3") << Key{ Qt::Key_3 | keypad, true, at, o, 0, 13000 };
    QTest::newRow("show: 0") << Key{ Qt::Key_0, true, at, o, 0, 10000 };
    QTest::newRow("show: keypad 0") << Key{ Qt::Key_0 | keypad, true, at, o, 0, 10000 };
    QTest::newRow("show: Space after 3 s") << Key{ Qt::Key_Space, true, at, o, 3, 3000 };
    QTest::newRow("show: Space at once") << Key{ Qt::Key_Space, true, at, o, 0, 100 };
    QTest::newRow("show: Space when due") << Key{ Qt::Key_Space, true, at, at, 12, -10000 };
    for (const int key : { Qt::Key_Left, Qt::Key_Backspace })
        QTest::addRow("show: %s", qPrintable(QKeySequence(key).toString()))
            << Key{ key, true, at, at, 1, -10000 };
    QTest::newRow("Left") << Key{ Qt::Key_Left, false, { 150, 150 }, { 135, 150 }, 0, 1 };
    QTest::newRow("Left, margin = step") << Key{ Qt::Key_Left, false, { 15, 0 }, { 15, 0 }, 0, 1 };
    QTest::newRow("Shift+Left") << Key{ Qt::Key_Left | shift, false, { 300, 0 }, { 150, 0 }, 0, 1 };
    QTest::newRow("Ctrl+Left") << Key{ Qt::Key_Left | ctrl, false, { 151, 0 }, { 1, 0 }, 0, 1 };
    const int alt = Qt::AltModifier;
    QTest::newRow("Alt+Left") << Key{ Qt::Key_Left | alt, false, { 160, 0 }, { 10, 0 }, 0, 1 };
    QTest::newRow("Right, margin = step")
        << Key{ Qt::Key_Right, false, { 285, 0 }, { 285, 0 }, 0, 1 };
    QTest::newRow("Down") << Key{ Qt::Key_Down, false, o, { 0, 15 }, 0, 1 };
    QTest::newRow("digit") << Key{ Qt::Key_3, false, { 15, 15 }, { 15, 15 }, 0, -1 };
}

void TestEditing::keys()
{
    QFETCH(Key, k);
    Shown s{ QSize() };
    VANE &v = s.v.vane();
    for (const char *name : { "a.bmp", "b.bmp", "c.bmp" })
        s.box.picture(QString("f/") + name, { 40, 30 });
    v.OpenPath(s.box.path() + "/f/a.bmp");
    if (k.show)
        v.SlideShow_Click();
    v.m_trimw = v.m_trimh = 300;
    v.m_trimx = k.from.x();
    v.m_trimy = k.from.y();
    v.trimpic_Click();
    QTime before; // during a show, pressed again if the clock's second changed
    do {
        v.ssTimer.setInterval(10000);
        v.m_bmpidx = 0;
        before = VANE::nowToSecond();
        v.m_slidetime = before.addSecs(-k.secondsSinceStep);
        QTest::keyClick(v.Picture1, Qt::Key(k.key & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(k.key & Qt::KeyboardModifierMask));
    } while (k.show && before != VANE::nowToSecond());
    QCOMPARE(QPoint(v.m_trimx, v.m_trimy), k.to);
    QVERIFY(v.UndoList.isEmpty());
    QCOMPARE(v.ssTimer.isActive(), k.show);
    if (k.show) {
        QCOMPARE(v.ssTimer.interval(), qAbs(k.interval));
        QCOMPARE(v.m_bmpidx, k.interval > 0 ? 1 : 0);
        QCOMPARE(v.m_slidetime == before, k.interval > 0);
    } else {
        QCOMPARE(v.m_trimming, k.interval < 0); // a redraw ends crop mode
    }
}

void TestEditing::dialogOpening()
{
    Shown s({ 640, 480 });
    s.v->m_trimw = 3000;
    s.v->m_size = 50;
    const auto dialog = openDialog(s);
    QCOMPARE(dialog->Label2->text(), QString("元のサイズ：幅 640 高さ 480"));
    QCOMPARE(QStringList({ dialog->Text1->text(), dialog->Text2[0]->text(),
                           dialog->Text2[1]->text(), dialog->wval->text(), dialog->hval->text() }),
             QStringList({ "50", "320", "240", "100", "240" }));
    QCOMPARE(dialog->editField(), 1);
}

void TestEditing::dialogFields_data()
{
    QTest::addColumn<int>("pictureWidth"); // × 480 pixels
    QTest::addColumn<int>("field"); // 0 scale, 1 width, 2 height
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected"); // scale, width, height
    QTest::newRow("scale 50") << 640 << 0 << "50" << "50 320 240";
    QTest::newRow("width 320") << 640 << 1 << "320" << "50. 320 240";
    QTest::newRow("height 100") << 640 << 2 << "100" << "20.83 133 100";
    QTest::newRow("scale 1000") << 640 << 0 << "1000" << "400 2560 1920";
    QTest::newRow("scale 0") << 640 << 0 << "0" << "1 6 5";
    QTest::newRow("width 5") << 640 << 1 << "5" << "1.56 10 7";
    QTest::newRow("30 pixels at 1 %") << 30 << 0 << "1" << "1  5";
}

void TestEditing::dialogFields()
{
    QFETCH(int, pictureWidth);
    QFETCH(int, field);
    QFETCH(QString, typed);
    Shown s({ pictureWidth, 480 });
    const auto dialog = openDialog(s);
    QLineEdit *fields[] = { dialog->Text1, dialog->Text2[0], dialog->Text2[1] };
    typeInto(fields[field], typed);
    QTest::keyClick(fields[field], Qt::Key_Tab);
    QTEST(QStringList({ fields[0]->text(), fields[1]->text(), fields[2]->text() }).join(' '),
          "expected");
}

void TestEditing::dialogSet_data()
{
    QTest::addColumn<Set>("t");
    const QSize p(640, 480);
    const QString none;
    const Crop whole{ 0, 0, 9600, 7200 };
    QTest::newRow("at once: two decimals") << Set{ p, 66.66666f, none, none, 66.67f, {} };
    QTest::newRow("Enter: no range check")
        << Set{ { 20, 10 }, 100, "450", none, 450, { 0, 0, 67, 33 } };
    QTest::newRow("Enter: scale 0 is 1") << Set{ p, 100, "0", none, 1, whole };
    QTest::newRow("right edge") << Set{ p, 100, none, "400", 100, { 3600, 0, 6000, 7200 } };
    QTest::newRow("wider than the picture") << Set{ p, 100, none, "1000", 100, whole };
    QTest::newRow("no width") << Set{ p, 100, none, "", 100, whole };
    QTest::newRow("huge width") << Set{ p, 100, none, "999999999", 100, whole };
}

void TestEditing::dialogSet()
{
    QFETCH(Set, t);
    Shown s(t.picture);
    VANE &v = s.v.vane();
    v.m_size = t.sizeBefore;
    if (t.picture.width() == 640) {
        v.m_trimx = 6000;
        v.m_trimw = 3000;
    }
    const auto dialog = openDialog(s);
    if (!t.width.isNull())
        typeInto(dialog->wval, t.width);
    if (t.scale.isNull()) {
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
    } else {
        typeInto(dialog->Text1, t.scale);
        QTest::keyClick(dialog->Text1, Qt::Key_Return);
    }
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(v.UndoList.size(), 1);
    QCOMPARE(v.m_size, t.size);
    if (!t.crop.isEmpty())
        QCOMPARE(s.crop(), t.crop);
}

void TestEditing::usualSize()
{
    Shown s({ 640, 480 });
    auto dialog = openDialog(s);
    dialog->SetUsualSize->click(); // nothing stored: the fields stay
    QCOMPARE(dialog->wval->text(), QString("640"));
    typeInto(dialog->wval, "abc");
    typeInto(dialog->hval, " 12.50");
    dialog->SaveUsualSize->click();
    dialog = openDialog(s);
    dialog->SetUsualSize->click();
    QCOMPARE(dialog->wval->text() + '|' + dialog->hval->text(), QString("abc| 12.50"));
}

QTEST_MAIN(TestEditing)
#include "test_editing.moc"
