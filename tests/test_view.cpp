// The main window and the thumbnail map. First the pure rules as one table:
// undo entries, the resize dialog's number formats, the crop and slide-show
// arithmetic, fitting and placing the window, the map's cell size. Then the
// window: start-up (the drop prompt, what the settings give), the crop
// stretched over the surface, zoom steps, F10, double-clicks, the background
// colour, folding (kept through full screen) and centring; the rubber band;
// two bands, undo, the keys and the wheel in and out of a show; the resize dialog; the map's nine cells, drawing once
// per list, and closing during and after a drawing.

// Qt
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

// Local
#include "app/fitting.h"
#include "browse/thumbnail_map.h"
#include "edit/crop_math.h"
#include "edit/dialog_formats.h"
#include "edit/key_codes.h"
#include "edit/resize_box.h"
#include "edit/slide_pace.h"
#include "edit/undo_entry.h"
#include "platform/picture_surface.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

// 1024 × 720 pixels at 15 twips per pixel.
static const QSizeF work(15360, 10800);

using Crop = QList<int>; // x, y, w, h in twips; empty: none, or the whole picture

struct Drag
{
    bool picture, armed, onMargin; // armed: F12 pressed first for the left button, else X
    Qt::MouseButton button;
    Qt::KeyboardModifiers modifiers;
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

// Replaces the field's text by typing, then presses the key.
static void typeInto(QLineEdit *field, const QString &text, Qt::Key then)
{
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    // Full-width text comes from an input method, committed in one go.
    QInputMethodEvent commit;
    commit.setCommitString(text);
    text.toLatin1() == text ? QTest::keyClicks(field, text) : (void)QApplication::sendEvent(field, &commit);
    QTest::keyClick(field, then);
}

// Qt lets this friend of the application deliver an event as the window
// system does: here a close by the user, as from the close box.
bool qt_sendSpontaneousEvent(QObject *receiver, QEvent *event)
{
    return QCoreApplication::sendSpontaneousEvent(receiver, event);
}

class TestView : public QObject
{
    Q_OBJECT
private slots:
    // Each rule of the pure functions once: the undo entry read back, the
    // "#####" and "###.##" formats, the crop a band selects on a 3000 × 2000
    // twip surface showing the crop from (150, 300), the crop the dialog
    // sizes from (6000, 1500) of a 9600 × 7200 twip picture, the slide
    // show's pace, the zoom that fits a crop (in twips) at 100 % into the
    // work area, the window placed round a surface at a stored position
    // (left, top, width, height in twips), and the thumbnail map's 1920 ×
    // 1440 twip cell.
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
        const CropRect at{ 150, 300, 1, 1 }, from{ 6000, 1500, 0, 0 };
        row("band outside, backwards",
            text(selectionToCrop(2400, 1500, 9000, -70, 3000, 2000, 100, at)), "2550 300 600 1500");
        row("band halves to even", text(selectionToCrop(0, 0, 22.5, 37.5, 3000, 2000, 100, at)),
            "150 300 22 38");
        row("band < 1 twip", text(selectionToCrop(0, 0, 1.5, 100, 3000, 2000, 400, at)), "none");
        row("sized < 1 twip", text(sizedCrop(0.4, 750, 100, from, 9600, 7200)), "0 1500 9600 750");
        row("sized too large", text(sizedCrop(1e12, 7201, 100, from, 9600, 7200)), "0 0 9600 7200");
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
        const auto fit = [](int w, int h) { return QString::number(fitZoom(100, w, h, work)); };
        row("fit: fits", fit(9600, 7200), "100");
        row("fit: too tall", fit(9600, 18600), "50");
        row("fit: height uses the lowered zoom", fit(29120, 18600), "50");
        row("fit: at the width limit", fit(14260, 100), "100");
        row("fit: within the frame allowance", fit(14261, 100), "100");
        row("fit: past the allowance", fit(14600, 100), "99");
        row("fit: huge metafile, at least 1", fit(2'000'000'000, 100), "1");
        row("fit: zero crop left alone", fit(0, 0), "100");
        const auto place = [&](QRect a) {
            const WindowRect r = placeWindow(a.width(), a.height(), a.x(), a.y(), work);
            return text(CropRect{ r.left, r.top, r.width, r.height });
        };
        row("placed at the minimum size", place({ 0, 0, 1500, 15 }), "0 0 4000 1015");
        row("placed above the screen: to 0", place({ -900, -60, 4440, 2940 }), "0 0 4740 3940");
        row("placed back from the bottom right", place({ 14000, 9000, 4440, 2940 }),
            "10620 6860 4740 3940");
        const auto cell = [&](int w, int h) {
            const QSizeF himetric(w * 2540.0 / 96, h * 2540.0 / 96);
            const QSize twips = thumbnailSize(himetric, 15, 15, 1920, 1440);
            return n(twips.width()) + ' ' + n(twips.height());
        };
        row("cell: a wide picture fills its width", cell(800, 300), "1920 720");
        row("cell: a tall one its height", cell(300, 400), "1080 1440");
    }
    void arithmetic()
    {
        QFETCH(QString, got);
        QTEST(got, "expected");
    }

    // Start-up with a command line (%1: a sandbox) and a settings file.
    // Whatever the command line opened, or failed to, start-up ends with the
    // fitting: with no picture, the prompt centred in a window of the empty
    // view's size. The crop-copy switch is on only for a number 1, and then
    // the empty view is copied at once; a window top is taken unless absurd
    // (NaN: where the window was before).
    void startUp_data()
    {
        columns<QString, QString, bool, double>({ "commandLine", "settings", "trimCopy", "top" });
        const double before = qQNaN();
        const QString window = "[window]\ntop=";
        // Nothing, a missing file, an empty folder, a folder of sounds only.
        for (const char *line : { "", "%1/missing.jpg", "%1/empty", "%1/sounds" })
            QTest::newRow(*line ? line : "nothing") << line << "" << false << before;
        QTest::newRow("TrimCopy 1.0, typed by hand") << "" << "[Setting]\nTrimCopy=1.0" << true << before;
        QTest::newRow("TrimCopy 2") << "" << "[setting]\ntrimcopy=2" << false << before;
        QTest::newRow("a top") << "" << window + "1500" << false << 1500.0;
        // Huge, beyond numbers, far above.
        for (const QString &absurd : { QString(23, '9'), QString(400, '9'), QString("-2000000") })
            QTest::newRow(qPrintable(absurd.left(30))) << "" << window + absurd << false << before;
        QTest::newRow("not a number reads as 0") << "" << window + "abc" << false << 0.0;
    }

    void startUp()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, settings);
        QFETCH(double, top);
        Sandbox box;
        box.write("sounds/a.mid", "not played");
        (void)box.file("empty/"); // made on the way
        box.write("vorlane/vorlane.conf", settings.toUtf8());
        Viewer v(box.path());
        v.clipboard.clear();
        const double topBefore = v->windowTop();
        v->Form_Load(commandLine.replace("%1", box.path()));
        QTEST(v->m_trimcopy, "trimCopy");
        QTRY_COMPARE(v.clipboard.image().size(), v->m_trimcopy ? QSize(296, 196) : QSize(0, 0));
        QCOMPARE(v->windowTop(), qIsNaN(top) ? topBefore : top);
        QCOMPARE(v->frameGeometry().size(), QSize(316, 263)); // 4740 × 3940 twips
        // Centred in the 296 × 196 pixel view, and as wide as the text.
        const QRect ink = inkBox(v->Picture1->Image(), v->Picture1->BackColor().rgb() & 0xffffff);
        const QFontMetrics fm(v->Picture1->font());
        const int textWidth = fm.horizontalAdvance(QStringLiteral("ここに画像をドロップしてください"));
        QVERIFY2(qAbs(ink.center().x() - 148) <= 3 && qAbs(ink.center().y() - 98) <= fm.height() / 2
                     && ink.width() >= textWidth - 6 && ink.width() <= textWidth + 2,
                 QTest::toString(ink));
    }

    // A crop in twips of a makePattern() picture (red, green over blue,
    // yellow) stretched over the surface at a zoom.
    void crop()
    {
        Started s;
        auto &[box, v] = s;
        const auto show = [&](QSize picture, QRect crop, float zoom) {
            v->LoadPictureFile(box.picture("p.bmp", picture));
            std::tie(v->m_trimx, v->m_trimy, v->m_trimw, v->m_trimh, v->m_size)
                = std::tuple(crop.x(), crop.y(), crop.width(), crop.height(), zoom);
            v->FormResize();
            return v->Picture1->Image();
        };
        // 100 × 50 twips of the green quadrant at 200 %: 200 twips, whole pixels.
        const QImage stretched = show({ 40, 20 }, { 330, 15, 100, 50 }, 200);
        QCOMPARE(stretched.size(), QSize(13, 7));
        QVERIFY(closeColor(rgbAt(stretched, 12, 6), rgb(0, 255, 0), 40));
        // Wider than the picture, as an undo entry of a larger one may leave,
        // its right edge inside a pixel of the view or not: past the edge,
        // background, never black.
        for (const int past : { 44, 47, 50, 53, 300 }) {
            const QImage view = show({ 20, 20 }, { 0, 0, 300 + past, 300 }, 100);
            QCOMPARE(view.size(), QSize(qRound((300 + past) / 15.0), 20));
            QVERIFY(closeColor(rgbAt(view, 18, 2), rgb(0, 255, 0), 40));
            for (int x = 20; x < view.width(); ++x)
                QCOMPARE(rgbAt(view, x, 2), v->Picture1->BackColor().rgb() & 0xffffff);
        }
    }

    // A picture loaded with crop copying on, its zoom set (0: as fitted),
    // then a command. Every fitting copies the view.
    void zoomCommands_data()
    {
        columns<QSize, float, QString, float, int, double>(
            { "picture", "zoom", "command", "fitted", "undo", "surfaceWidth" });
        QTest::newRow("wide, fitted") << QSize(1280, 200) << 0.f << "" << 75.f << 0 << 14400.;
        QTest::newRow("up to 400") << QSize(20, 20) << 390.f << "big" << 400.f << 1 << 1200.;
        QTest::newRow("not past 400") << QSize(20, 20) << 400.f << "big" << 400.f << 0 << 300.;
        QTest::newRow("not past 10") << QSize(20, 20) << 10.f << "mini" << 10.f << 0 << 300.;
        QTest::newRow("remainder kept") << QSize(200, 20) << 15.f << "mini" << 5.f << 1 << 150.;
        // Up from a full-screen fit: the zoom stays, an undo entry is made.
        QTest::newRow("wide, big") << QSize(1280, 200) << 0.f << "big" << 75.f << 1 << 14400.;
        // The whole picture at 100 %.
        QTest::newRow("original") << QSize(64, 48) << 250.f << "original" << 100.f << 0 << 960.;
    }

    void zoomCommands()
    {
        QFETCH(QSize, picture);
        QFETCH(float, zoom);
        QFETCH(QString, command);
        Started s;
        auto &[box, v] = s;
        v->show();
        v->m_trimcopy = true;
        v->LoadPictureFile(box.picture("p.bmp", picture));
        if (zoom > 0)
            v->m_size = zoom;
        v->m_trimx = command == "original" ? 15 : 0;
        const QHash<QString, void (VANE::*)()> commands{
            { "big", &VANE::big_Click }, { "mini", &VANE::mini_Click },
            { "original", &VANE::original_Click }
        };
        if (const auto click = commands.value(command))
            (v.vane().*click)();
        QTEST(v->m_size, "fitted");
        QTEST(int(v->UndoList.size()), "undo");
        QTEST(v->Picture1->Width(), "surfaceWidth");
        QCOMPARE(v->m_trimx, 0);
        const auto rgb32 = [](const QImage &i) { return i.convertToFormat(QImage::Format_RGB32); };
        QCOMPARE(rgb32(v.clipboard.image()), rgb32(v->Picture1->Image()));
    }

    void windowColourAndShapes()
    {
        Started s;
        auto &[box, v] = s;
        v->show();
        // F10 opens the first menu.
        QVERIFY(QTest::qWaitForWindowActive(&v.vane()));
        QTest::keyClick(v->Picture1, Qt::Key_F10);
        QCOMPARE(QApplication::activePopupWidget(), static_cast<QWidget *>(v->fileMenu));
        v->fileMenu->close();
        // Whether a double-click, sent as the window system sends it (press,
        // release, double-click, release), opens the resize dialog; the
        // dialog is closed with its close box, which applies nothing.
        const auto opensDialog = [&](QWidget *on, QPoint at) {
            QTest::mouseClick(on, Qt::LeftButton, {}, at);
            // Only the dialog's own event loop runs the timer, and none
            // outlives a double-click that opened nothing.
            QObject guard;
            bool opened = false;
            QTimer::singleShot(0, &guard, [&] { opened = qApp->activeModalWidget()->close(); });
            QTest::mouseDClick(on, Qt::LeftButton, {}, at);
            QTest::mouseRelease(on, Qt::LeftButton, {}, at);
            return opened;
        };
        // The window's margin opens it even with no picture.
        QVERIFY(opensDialog(v->centralWidget(), { 2, 2 }));
        // The colour dialog starts from the window's own background; the
        // prompt is drawn again on the chosen one; a cancel keeps it.
        const QColor before = v->backgroundColor();
        v.dialogs.colorAnswers.push_back(QColor(0, 0, 160));
        v->BackColor_Click();
        v->BackColor_Click();
        const QImage view = v->Picture1->Image();
        QCOMPARE(std::tuple(v.dialogs.colorStarts, v->backgroundColor(), rgbAt(view, 0, 0)),
                 std::tuple(QList{ before, QColor(0, 0, 160) }, QColor(0, 0, 160), rgb(0, 0, 160)));
        QVERIFY(inkBox(view, rgb(0, 0, 160)).isValid());
        const auto shape = [&] { return std::pair(v->Bar->text(), v->frameGeometry().size()); };
        // Folded to the title and menu bars (4000 × 700 twips); a zoom unfolds.
        v->Bar_Click();
        QCOMPARE(shape(), std::pair(QString("▼"), QSize(267, 47)));
        // Full screen, fitted there, gives back the window folded as it was.
        v->toggleFullScreen();
        v->FormResize();
        v->leaveFullScreen();
        QTRY_COMPARE(shape(), std::pair(QString("▼"), QSize(267, 47)));
        v->big_Click();
        QCOMPARE(std::pair(v->m_folded, v->Bar->text()), std::pair(false, QString("▲")));
        v->LoadPictureFile(box.picture("p.bmp", { 100, 100 }));
        // The surface with a picture opens it; armed, it does not, though the
        // first release has ended crop mode; the margin armed still does.
        QVERIFY(opensDialog(v->Picture1, { 5, 5 }));
        v->trimpic_Click();
        QVERIFY(!opensDialog(v->Picture1, { 2, 2 }));
        v->trimpic_Click();
        QVERIFY(opensDialog(v->centralWidget(), { 2, 2 }));
        // 4000 × 2500 twips, in whole pixels, the surface centred in it, and
        // kept centred as the user drags the frame.
        QCOMPARE(shape(), std::pair(QString("▲"), QSize(267, 167)));
        QCOMPARE(v->Picture1->Left(), 1200.0);
        const QPoint centred = v->Picture1->pos();
        v->resize(v->width() + 160, v->height() + 90);
        QTRY_COMPARE(v->Picture1->pos(), centred + QPoint(80, 45));
        // Maximised, the window keeps its size and only the surface changes.
        v->showMaximized();
        QTRY_VERIFY(v->isMaximized());
        const QRect maximised = v->frameGeometry();
        v->LoadPictureFile(box.picture("q.bmp", { 200, 100 }));
        QCOMPARE(std::pair(v->frameGeometry(), v->Picture1->Width()), std::pair(maximised, 3000.0));
    }

    void drag_data()
    {
        QTest::addColumn<Drag>("d");
        const Qt::MouseButton r = Qt::RightButton, l = Qt::LeftButton, m = Qt::MiddleButton;
        const QPoint a(20, 10), b(120, 60);
        const Crop band{ 300, 150, 1500, 750 }, none;
        QTest::newRow("right") << Drag{ true, false, false, r, {}, a, b, band, 0 };
        QTest::newRow("left armed, backwards") << Drag{ true, true, false, l, {}, b, a, band, 0 };
        QTest::newRow("press on the margin")
            << Drag{ true, false, true, r, {}, { -30, 40 }, a, { 0, 150, 300, 450 }, 0 };
        QTest::newRow("click") << Drag{ true, true, false, r, {}, a, a, none, 0 };
        QTest::newRow("line") << Drag{ true, false, false, r, {}, a, { 120, 10 }, none, 0 };
        QTest::newRow("clamped to a line")
            << Drag{ true, false, true, r, {}, { -30, 40 }, { -60, 10 }, none, 0 };
        QTest::newRow("left unarmed") << Drag{ true, false, false, l, {}, a, b, none, 1 };
        QTest::newRow("Shift+left armed")
            << Drag{ true, true, false, l, Qt::ShiftModifier, a, b, none, 2 };
        QTest::newRow("middle") << Drag{ true, true, false, m, {}, a, b, none, 0 };
        QTest::newRow("no picture") << Drag{ false, false, false, r, {}, a, b, none, 0 };
    }
    void drag()
    {
        QFETCH(Drag, d);
        Shown s(d.picture ? QSize(200, 100) : QSize());
        VANE &v = s.v.vane();
        const QImage before = v.Picture1->Image();
        v.m_shiftdrag = d.dragOut != 2; // the other way, to see a drag-out set it
        if (d.armed)
            QTest::keyClick(v.Picture1, d.button == Qt::LeftButton ? Qt::Key_F12 : Qt::Key_X);
        QWidget *target = d.onMargin ? v.Picture1->parentWidget() : v.Picture1;
        const QPoint offset = d.onMargin ? v.Picture1->pos() : QPoint();
        QTest::mousePress(target, d.button, d.modifiers, d.from + offset);
        QTest::mouseMove(target, (d.from + d.to) / 2 + offset);
        const QImage halfway = v.Picture1->grab().toImage();
        QTest::mouseMove(target, d.to + offset);
        // The band shows on the screen up to the pointer, never in the view;
        // moving back halfway erases all of it, leaving the screen as it was.
        QCOMPARE(v.Picture1->Image(), before);
        if (v.m_trimming && !v.Picture1->AutoRedraw() && before.valid(d.to) && d.from != d.to) {
            QVERIFY(v.Picture1->grab().toImage().pixel(d.to) != before.pixel(d.to));
            QTest::mouseMove(target, (d.from + d.to) / 2 + offset);
            QCOMPARE(v.Picture1->grab().toImage(), halfway);
        }
        QTest::mouseRelease(target, d.button, d.modifiers, d.to + offset);
        const bool none = d.crop.isEmpty();
        QCOMPARE(std::tuple(s.crop(), v.UndoList.size(), v.m_shiftdrag, v.m_trimming,
                            v.Picture1->AutoRedraw()),
                 std::tuple(none ? Crop({ 0, 0, v.m_orgx, v.m_orgy }) : d.crop, none ? 0 : 1,
                            d.dragOut != 1, d.armed && d.button == Qt::MiddleButton, true));
    }

    void editingByHand()
    {
        Shown s;
        VANE &v = s.v.vane();
        v.big_Click();
        // At 110 % 22 pixels of the surface are 300 twips of the picture; the
        // second selection is taken inside the first.
        for (const QLine &band : { QLine(22, 11, 132, 66), QLine(11, 11, 55, 33) }) {
            QTest::mousePress(v.Picture1, Qt::RightButton, {}, band.p1());
            QTest::mouseRelease(v.Picture1, Qt::RightButton, {}, band.p2());
        }
        QCOMPARE(s.crop(), Crop({ 450, 300, 600, 300 }));
        v.Undo_Click();
        QCOMPARE(s.crop(), Crop({ 300, 150, 1500, 750 }));
        for (int i = 0; i < 3; ++i) // the third finds the list empty
            QTest::keyClick(v.Picture1, Qt::Key_F11);
        QCOMPARE(std::pair(v.m_size, s.crop()), std::pair(100.0f, Crop({ 0, 0, 3000, 1500 })));
        // Outside a show the arrows move a 300 twip square crop of a 600 ×
        // 450 twip picture by a pixel, ten with Shift, Ctrl or Alt (only
        // where the margin is larger), and end crop mode; a digit does nothing.
        for (const char *name : { "a.bmp", "b.bmp", "c.bmp" })
            s.box.picture(QString("f/") + name, { 40, 30 });
        v.OpenPath(s.box.path() + "/f/a.bmp");
        const struct { QKeyCombination key; QPoint from, to; } moves[] = {
            { Qt::Key_Left, { 150, 150 }, { 135, 150 } }, { Qt::Key_Left, { 15, 0 }, { 15, 0 } },
            { Qt::Key_Left | Qt::ShiftModifier, { 300, 0 }, { 150, 0 } },
            { Qt::Key_Left | Qt::ControlModifier, { 151, 0 }, { 1, 0 } },
            { Qt::Key_Left | Qt::AltModifier, { 160, 0 }, { 10, 0 } },
            { Qt::Key_Up, { 0, 16 }, { 0, 1 } }, { Qt::Key_Down, { 0, 0 }, { 0, 15 } },
            { Qt::Key_Down, { 0, 135 }, { 0, 135 } }, { Qt::Key_Right, { 284, 0 }, { 299, 0 } },
            { Qt::Key_Right, { 285, 0 }, { 285, 0 } }, { Qt::Key_3, { 15, 15 }, { 15, 15 } },
        };
        // No refit (which would lower the zoom and resize the window) and so
        // no copy, even with crop copying on.
        v.m_trimcopy = true;
        s.v.clipboard.clear();
        const QRect frame = v.frameGeometry();
        for (const auto &m : moves) {
            std::tie(v.m_trimx, v.m_trimy, v.m_trimw, v.m_trimh, v.m_size)
                = std::tuple(m.from.x(), m.from.y(), 300, 300, 4000.0f);
            v.trimpic_Click();
            QTest::keyClick(v.Picture1, m.key.key(), m.key.keyboardModifiers());
            QCOMPARE(std::tuple(QPoint(v.m_trimx, v.m_trimy), v.frameGeometry(), v.m_size,
                                v.m_trimming, v.Picture1->cursor().shape() == Qt::CrossCursor),
                     std::tuple(m.to, frame, 4000.0f, m.key.key() == Qt::Key_3, v.m_trimming));
        }
        QVERIFY(v.UndoList.isEmpty() && s.v.clipboard.image().isNull());
        // A notch of the wheel towards the user is Space, away Backspace, in
        // notches of 120 however finely sent, a turn back starting afresh;
        // with Ctrl a zoom step, away in, with its undo entry.
        const auto wheel = [&](int delta, Qt::KeyboardModifiers keys = {}) {
            QWheelEvent e({ 5, 5 }, {}, {}, { 0, delta }, {}, keys, Qt::NoScrollPhase, false);
            qt_sendSpontaneousEvent(v.Picture1, &e);
            return std::tuple(v.m_bmpidx, v.m_size, int(v.UndoList.size()));
        };
        QCOMPARE(QList({ wheel(-30), wheel(-30), wheel(-30), wheel(-30), wheel(-90), wheel(120),
                         wheel(-120, Qt::ControlModifier), wheel(120, Qt::ControlModifier) }),
                 QList({ std::tuple(0, 4000.f, 0), { 0, 4000.f, 0 }, { 0, 4000.f, 0 }, { 1, 4000.f, 0 },
                         { 1, 100.f, 0 }, { 0, 100.f, 0 }, { 0, 90.f, 1 }, { 0, 100.f, 2 } }));
        // In a show a key that paces it restarts it at once, from the next
        // picture; Space (and the wheel towards the user) sets the time since
        // the last step, unless it is due; the wheel away does nothing.
        v.SlideShow_Click();
        const struct { QKeyCombination key; int secondsSinceStep, interval, wheel = 0; } paces[] = {
            { Qt::Key_3, 0, 3000 }, { Qt::Key_3 | Qt::KeypadModifier, 0, 13000 },
            { Qt::Key_Space, 3, 3000 }, { Qt::Key_Space, 10, 0 }, { Qt::Key_Left, 1, 0 },
            { {}, 3, 3000, -120 }, { {}, 3, 0, 120 }
        };
        for (const auto &p : paces) {
            QTime before; // pressed again if the clock's second changed
            do {
                v.ssTimer.setInterval(10000);
                v.m_bmpidx = 0;
                before = VANE::nowToSecond();
                v.m_slidetime = before.addSecs(-p.secondsSinceStep);
                p.wheel ? void(wheel(p.wheel))
                        : QTest::keyClick(v.Picture1, p.key.key(), p.key.keyboardModifiers());
            } while (before != VANE::nowToSecond());
            QCOMPARE(std::tuple(v.ssTimer.isActive(), v.ssTimer.interval(), v.m_bmpidx),
                     std::tuple(true, p.interval ? p.interval : 10000, p.interval ? 1 : 0));
            QCOMPARE(v.m_slidetime == before, p.interval != 0);
        }
    }

    void dialogFields()
    {
        // A 3000 twip wide crop at x = 6000 of a 640 × 480 pixel picture at 50 %.
        Shown s({ 640, 480 });
        VANE &v = s.v.vane();
        std::tie(v.m_trimx, v.m_trimw, v.m_size) = std::tuple(6000, 3000, 50.0f);
        const auto openDialog = [&] {
            auto dialog = std::make_unique<ReSizeBox>(v);
            dialog->show();
            // Leaving a field takes the focus moving within an active window.
            QApplication::setActiveWindow(dialog.get());
            (void)QTest::qWaitForWindowActive(dialog.get());
            return dialog;
        };
        const auto dialog = openDialog();
        QLineEdit *fields[] = { dialog->Text1, dialog->Text2[0], dialog->Text2[1], dialog->wval };
        const auto texts = [&] {
            return QStringList({ fields[0]->text(), fields[1]->text(), fields[2]->text(),
                                 dialog->wval->text(), dialog->hval->text() }).join(' ');
        };
        QCOMPARE(dialog->Label2->text(), QString("元のサイズ：幅 640 高さ 480"));
        QCOMPARE(texts(), QString("50 320 240 100 240"));
        // Leaving a field brings it into range and the others in line;
        // full-width digits (a Japanese input method's) read as digits.
        const struct { int field; const char *typed, *expected; } steps[] = {
            { 1, "３２０", "50. ３２０ 240 100" }, { 2, "100", "20.83 133 100 100" },
            { 0, "1000", "400 2560 1920 100" },  { 0, "0", "1 6 5 100" },
            { 1, "5", "1.56 10 7 100" },         { 0, "50", "50 320 240 100" },
            { 3, "200", "50. 320 240 200" },
        };
        for (const auto &step : steps) {
            typeInto(fields[step.field], step.typed, Qt::Key_Tab);
            QCOMPARE(texts(), QString(step.expected) + " 240");
        }
        // The usual crop size: nothing stored leaves the fields; stored, it
        // comes back as typed.
        dialog->SetUsualSize->click();
        QCOMPARE(texts(), QString("50. 320 240 200 240"));
        dialog->SaveUsualSize->click();
        // Enter in the height field once the width has been left keeps the
        // scale leaving the width set (the height's own would be 52.08); the
        // crop is 200 × 240 pixels at it, inside the picture. Undo brings
        // back the zoom and crop from before.
        typeInto(fields[1], "333", Qt::Key_Tab);
        QTest::keyClick(fields[2], Qt::Key_Return);
        QCOMPARE(std::tuple(dialog->result(), v.UndoList.size(), v.m_size, s.crop()),
                 std::tuple(int(QDialog::Accepted), 1, 52.03f, Crop({ 3834, 0, 5766, 6919 })));
        v.Undo_Click();
        QCOMPARE(std::pair(v.m_size, s.crop()), std::pair(50.0f, Crop({ 6000, 0, 3000, 7200 })));
        // Enter applies without the range check of leaving the field, but a
        // zoom of 0 would divide by zero: it becomes 1 ("。" is a decimal
        // point, typed full width). "設定" at once takes
        // the scale from the height, with two decimals.
        for (const auto &[typed, size] :
             { std::pair{ "４５０。５", 450.5f }, { "0", 1.0f }, { "", 66.67f } }) {
            v.m_size = 66.66666f;
            const auto again = openDialog();
            typeInto(again->Text1, typed, Qt::Key_Return);
            QCOMPARE(v.m_size, size);
        }
        QCOMPARE(v.UndoList.size(), 3);
        const auto last = openDialog();
        last->wval->clear();
        last->SetUsualSize->click();
        QCOMPARE(last->wval->text() + ' ' + last->hval->text(), QString("200 240"));
    }

    void thumbnailMap()
    {
        Started s;
        frmCell &cells = s.v->cellWindow();
        QStringList list;
        for (int i = 0; i < 12; ++i)
            list << s.box.picture(QString("p%1.bmp").arg(i, 2, 10, QChar('0')), { 300, 400 });
        // Nine cells of a list drawn, centred.
        QVERIFY(cells.TileMap(list));
        QCOMPARE(cells.m_cellfile.mid(0, 10), list.mid(0, 9) << QString());
        // The first cell starts a pixel in, its 72 pixel wide picture 28 more.
        const QImage map = cells.Picture1->Image();
        for (int x : { 28, 29, 100, 101 })
            QCOMPARE(rgbAt(map, x, 48) == rgb(255, 255, 255), x == 28 || x == 101);
        // The same first entry is not drawn again (its files are not even
        // read); another first entry is.
        QFile::remove(list[1]);
        QVERIFY(cells.TileMap(list));
        QVERIFY(!cells.TileMap(list.mid(1)));
        const auto closeByHand = [&] {
            QCloseEvent close;
            if (qt_sendSpontaneousEvent(&cells, &close) && close.isAccepted())
                cells.hide();
        };
        // Closed during drawing: stops after the first cell, so the broken
        // second picture is never met, and unloads the map.
        list[3] = s.box.write("broken.bmp", "not a picture");
        cells.show();
        QTimer::singleShot(0, &cells, closeByHand);
        QVERIFY(cells.TileMap(list.mid(2)));
        QVERIFY(!cells.isVisible() && cells.m_lastfirst.isEmpty());
        // The broken picture ends a drawing with an error; closable still.
        QVERIFY(!cells.TileMap(list.mid(2)));
        QVERIFY(!cells.m_busy && cells.m_lastfirst.isEmpty());
        // After a complete drawing a close by hand only hides the map; the
        // program's close always proceeds and unloads it.
        cells.show();
        QVERIFY(cells.TileMap(list.mid(4)));
        closeByHand();
        QVERIFY(!cells.isVisible() && cells.m_lastfirst == list[4]);
        QVERIFY(cells.close() && cells.m_lastfirst.isEmpty());
    }
};

QTEST_MAIN(TestView)
#include "test_view.moc"
