// Decoding ahead must not change anything a user can see: the same states
// and captions as loading without it, also when files change on disk.

// Qt
#include <QCryptographicHash>
#include <QFile>
#include <QtTest>

// Local
#include "support/fixtures.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

struct Seen
{
    QString title;
    QString fname;
    int bmpidx;
    int orgx;
    QByteArray view;
    bool operator==(const Seen &) const = default;
};

static Seen seen(Viewer &v)
{
    const QImage view = v->Picture1->Image();
    const QByteArray hash = QCryptographicHash::hash(
        QByteArrayView(view.constBits(), view.sizeInBytes()), QCryptographicHash::Sha1);
    return { v->windowTitle(), v->m_fname, v->m_bmpidx, v->m_orgx, hash };
}

class TestDecodeAhead : public QObject
{
    Q_OBJECT
private slots:
    void steppingIsUnchanged();
    void changedNeighbourIsDecodedAgain();
    void deletedNeighbourFailsLikeAnyLoad();
    void neighbourThatStopsDecoding();

private:
    static void makeFolder(const Sandbox &box, int count)
    {
        for (int i = 0; i < count; ++i)
            writePicture(makePattern(30 + i, 20, QColor(20 * i, 0, 0)),
                         box.file(QStringLiteral("f/p%1.bmp").arg(i)), "bmp");
    }
};

void TestDecodeAhead::steppingIsUnchanged()
{
    Sandbox box;
    makeFolder(box, 5);
    Viewer plain(box.path());
    Viewer ahead(box.path(), QSize(1024, 720), true);
    QList<Seen> a, b;
    for (Viewer *v : { &plain, &ahead }) {
        QList<Seen> &out = v == &plain ? a : b;
        (*v)->Form_Load("");
        (*v)->OpenPath(box.path() + "/f");
        out << seen(*v);
        for (int i = 0; i < 7; ++i) {
            v->ahead.waitForAll();
            (*v)->NextBitmap_Click();
            out << seen(*v);
        }
        for (int i = 0; i < 3; ++i) {
            (*v)->BeforeBitmap_Click(); // at once, decodes possibly still running
            out << seen(*v);
        }
    }
    QCOMPARE(b.size(), a.size());
    for (int i = 0; i < a.size(); ++i)
        QVERIFY2(a[i] == b[i], qPrintable(QString("step %1: %2 vs %3").arg(i).arg(a[i].title, b[i].title)));
}

void TestDecodeAhead::changedNeighbourIsDecodedAgain()
{
    Sandbox box;
    makeFolder(box, 3);
    Viewer v(box.path(), QSize(1024, 720), true);
    v->Form_Load("");
    v->OpenPath(box.path() + "/f");
    v.ahead.waitForAll();
    // p1 was decoded ahead; now it is rewritten with another picture.
    QVERIFY(writePicture(makePattern(77, 20, Qt::cyan), box.file("f/p1.bmp"), "bmp"));
    v->NextBitmap_Click();
    QCOMPARE(v->m_orgx, 77 * 15);
    QVERIFY(sameColour(QColor(v->Picture1->Image().pixel(2, 2)), QColor(Qt::cyan)));
}

void TestDecodeAhead::deletedNeighbourFailsLikeAnyLoad()
{
    Sandbox box;
    makeFolder(box, 3);
    Viewer v(box.path(), QSize(1024, 720), true);
    v->Form_Load("");
    v->OpenPath(box.path() + "/f");
    v.ahead.waitForAll();
    QVERIFY(QFile::remove(box.file("f/p1.bmp")));
    v->NextBitmap_Click();
    QCOMPARE(v->windowTitle(), QString("p1.bmp"));
    QCOMPARE(v->m_fname, box.path() + "/f/p0.bmp");
    QCOMPARE(v->m_bmpidx, 1);
    v->NextBitmap_Click();
    QCOMPARE(v->m_fname, box.path() + "/f/p2.bmp");
}

void TestDecodeAhead::neighbourThatStopsDecoding()
{
    Sandbox box;
    makeFolder(box, 3);
    Viewer v(box.path(), QSize(1024, 720), true);
    v->Form_Load("");
    v->OpenPath(box.path() + "/f");
    v.ahead.waitForAll();
    // Same size, new content that is no picture: it must fail, not show
    // the old pixels.
    const QByteArray old = [&] {
        QFile f(box.file("f/p2.bmp"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    box.write("f/p2.bmp", QByteArray(old.size(), 'x'));
    v->BeforeBitmap_Click();
    QCOMPARE(v->windowTitle(), QString("p2.bmp"));
    QCOMPARE(v->m_fname, box.path() + "/f/p0.bmp");
}

QTEST_MAIN(TestDecodeAhead)
#include "test_decode_ahead.moc"
