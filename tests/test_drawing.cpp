// Drawing the view: the drop prompt, the crop stretched over the surface,
// the background colour and the double-click gestures.

// Qt
#include <QtTest>

// Local
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestDrawing : public QObject
{
    Q_OBJECT
private slots:
    void promptIsCentredOnTheEmptyView();
    void backgroundColourRedrawsThePrompt();
    void cancelledColourDialogChangesNothing();
    void cropIsStretchedOverTheSurface();
    void cropReachingBeyondThePictureDrawsWhatExists();
    void redrawEndsCropMode();
    void doubleClicks();

private:
    static QRect inkBox(const QImage &image, QRgb background);
};

QRect TestDrawing::inkBox(const QImage &image, QRgb background)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!closeColor(rgbAt(image, x, y), background, 40))
                box |= QRect(x, y, 1, 1);
    return box;
}

void TestDrawing::promptIsCentredOnTheEmptyView()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    QCOMPARE(v->Picture1->Width(), 4440.0);
    QCOMPARE(v->Picture1->Height(), 2940.0);
    const QImage view = v->Picture1->Image();
    QCOMPARE(view.size(), QSize(296, 196));
    const QRgb background = v->Picture1->BackColor().rgb() & 0xffffff;
    const QRect ink = inkBox(view, background);
    QVERIFY2(ink.isValid(), "the prompt draws something");
    // Centred: the text's ink sits in the middle, as wide as the text is.
    const QFontMetrics fm(v->Picture1->font());
    const int textWidth = fm.horizontalAdvance(QStringLiteral("ここに画像をドロップしてください"));
    QVERIFY2(qAbs(ink.center().x() - 148) <= 3, qPrintable(QString::number(ink.center().x())));
    QVERIFY2(qAbs(ink.center().y() - 98) <= fm.height() / 2,
             qPrintable(QString::number(ink.center().y())));
    QVERIFY(ink.width() >= textWidth - 6 && ink.width() <= textWidth + 2);
}

void TestDrawing::backgroundColourRedrawsThePrompt()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    const QColor before = v->backgroundColor();
    v.dialogs.colorAnswers.push_back(QColor(0, 0, 160));
    v->BackColor_Click();
    // The dialog started from the window's own background.
    QCOMPARE(v.dialogs.colorStarts.value(0), before);
    QCOMPARE(v->backgroundColor(), QColor(0, 0, 160));
    QCOMPARE(v->Picture1->BackColor(), QColor(0, 0, 160));
    const QImage view = v->Picture1->Image();
    QCOMPARE(rgbAt(view, 0, 0), rgb(0, 0, 160));
    QVERIFY(inkBox(view, rgb(0, 0, 160)).isValid());
}

void TestDrawing::cancelledColourDialogChangesNothing()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v.dialogs.colorAnswers.push_back(QColor(200, 0, 0));
    v->BackColor_Click();
    v->BackColor_Click(); // cancelled
    QCOMPARE(v->backgroundColor(), QColor(200, 0, 0));
    QCOMPARE(rgbAt(v->Picture1->Image(), 0, 0), rgb(200, 0, 0));
}

void TestDrawing::cropIsStretchedOverTheSurface()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->LoadPictureFile(box.picture("p.bmp", { 40, 20 }));
    // 100 × 50 twips of the top-right quadrant (green) shown at 200 %.
    v->m_trimx = 20 * 15 + 30;
    v->m_trimy = 15;
    v->m_trimw = 100;
    v->m_trimh = 50;
    v->m_size = 200;
    v->FormResize();
    QCOMPARE(v->Picture1->Width(), 195.0); // 200 twips, kept in whole pixels
    const QImage view = v->Picture1->Image();
    QCOMPARE(view.size(), QSize(13, 7));
    for (const QPoint p : { QPoint(0, 0), QPoint(12, 0), QPoint(0, 6), QPoint(12, 6) })
        QVERIFY(closeColor(rgbAt(view, p.x(), p.y()), rgb(0, 255, 0), 40));
}

void TestDrawing::cropReachingBeyondThePictureDrawsWhatExists()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->LoadPictureFile(box.picture("p.bmp", { 20, 20 }));
    // A crop twice the picture's width, as an undo entry of a larger picture
    // could leave: the left half shows the picture, the right half the
    // background.
    v->m_trimw = 600;
    v->m_trimh = 300;
    v->FormResize();
    const QImage view = v->Picture1->Image();
    QCOMPARE(view.size(), QSize(40, 20));
    QVERIFY(closeColor(rgbAt(view, 2, 2), rgb(255, 0, 0), 40));
    QVERIFY(closeColor(rgbAt(view, 17, 2), rgb(0, 255, 0), 40));
    QCOMPARE(rgbAt(view, 30, 10), v->Picture1->BackColor().rgb() & 0xffffff);
}

void TestDrawing::redrawEndsCropMode()
{
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->m_trimming = true;
    v->Picture1->setMousePointer(Qt::CrossCursor);
    v->Picture1->setAutoRedraw(false);
    v->RedrawView();
    QVERIFY(!v->m_trimming);
    QCOMPARE(v->Picture1->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(v->Picture1->AutoRedraw());
}

void TestDrawing::doubleClicks()
{
    // Each double-click that opens the resize dialog refits afterwards,
    // which shows as a zoom lowered back to fit the work area. The dialog is
    // closed with its close box, which applies nothing.
    const auto closeDialogSoon = [] {
        QTimer::singleShot(0, [] {
            if (QWidget *dialog = QApplication::activeModalWidget())
                dialog->close();
        });
    };
    Sandbox box;
    Viewer v(box.path());
    v->Form_Load("");
    v->show();
    QVERIFY(QTest::qWaitForWindowExposed(&v.vane()));

    // The window's margin, even with no picture.
    v->m_size = 1000;
    closeDialogSoon();
    QTest::mouseDClick(v->centralWidget(), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(v->m_size < 1000);

    v->LoadPictureFile(box.picture("p.bmp", { 400, 300 }));
    const QPoint inside = v->Picture1->rect().center();

    // The surface while crop mode is armed: nothing.
    v->m_size = 1000;
    v->m_trimming = true;
    QTest::mouseDClick(v->Picture1, Qt::LeftButton, {}, inside);
    QCOMPARE(v->m_size, 1000.0f);

    // The surface with a picture and crop mode off.
    v->m_trimming = false;
    closeDialogSoon();
    QTest::mouseDClick(v->Picture1, Qt::LeftButton, {}, inside);
    QVERIFY(v->m_size < 1000);
}

QTEST_MAIN(TestDrawing)
#include "test_drawing.moc"
