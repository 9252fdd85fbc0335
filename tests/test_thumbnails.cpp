// The thumbnail map window: cell sizes, the nine cells, drawing once per
// list, and closing during and after a drawing.

// Qt
#include <QtTest>

// Local
#include "browse/thumbnail_map.h"
#include "platform/picture_surface.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

// Qt lets this friend of the application deliver an event as the window
// system does: here a close by the user, as from the close box.
bool qt_sendSpontaneousEvent(QObject *receiver, QEvent *event)
{
    return QCoreApplication::sendSpontaneousEvent(receiver, event);
}

static QStringList pictures(const Sandbox &box, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << box.picture(QString("p%1.bmp").arg(i, 2, 10, QChar('0')), { 300, 400 });
    return list;
}

class TestThumbnails : public QObject
{
    Q_OBJECT
private slots:
    void cellSize_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QSize>("twips");
        QTest::newRow("landscape fills the cell") << QSize(400, 300) << QSize(1920, 1440);
        QTest::newRow("portrait fits the height") << QSize(300, 400) << QSize(1080, 1440);
    }
    void cellSize()
    {
        QFETCH(QSize, pixels);
        QFETCH(QSize, twips);
        const QSizeF himetric(pixels.width() * 2540.0 / 96, pixels.height() * 2540.0 / 96);
        QCOMPARE(thumbnailSize(himetric, 15, 15, 1920, 1440), twips);
    }

    void drawsNineCentredCellsOncePerList()
    {
        Sandbox box;
        Viewer v(box.path());
        frmCell &cells = v->cellWindow();
        const QStringList list = pictures(box, 12);
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
    }

    void closing()
    {
        Sandbox box;
        Viewer v(box.path());
        frmCell &cells = v->cellWindow();
        const auto closeByHand = [&] {
            QCloseEvent close;
            if (qt_sendSpontaneousEvent(&cells, &close) && close.isAccepted())
                cells.hide();
        };
        QStringList list = pictures(box, 3);
        list[1] = box.write("broken.bmp", "not a picture");
        // Closed during drawing: stops after the first cell, so the broken
        // second picture is never met, and unloads the map.
        cells.show();
        QTimer::singleShot(0, &cells, closeByHand);
        QVERIFY(cells.TileMap(list));
        QVERIFY(!cells.isVisible() && cells.m_lastfirst.isEmpty());
        // The broken picture ends a drawing with an error; closable still.
        QVERIFY(!cells.TileMap(list));
        QVERIFY(!cells.m_busy && cells.m_lastfirst.isEmpty());
        // After a complete drawing a close by hand only hides the map; the
        // program's close always proceeds and unloads it.
        cells.show();
        QVERIFY(cells.TileMap(list.mid(2)));
        closeByHand();
        QVERIFY(!cells.isVisible() && cells.m_lastfirst == list[2]);
        QVERIFY(cells.close() && cells.m_lastfirst.isEmpty());
    }
};

QTEST_MAIN(TestThumbnails)
#include "test_thumbnails.moc"
