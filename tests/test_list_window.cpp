// The file list window: mirroring the main window's lists and picking rows.

// Qt
#include <QtTest>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

// Local
#include "exchange/frm_list.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestListWindow : public QObject
{
    Q_OBJECT
private slots:
    void mirrorsAndPicks();
    void staleSizedAndDiscardedOnClose();
};

static QStringList rows(const frmList *list)
{
    QStringList texts;
    for (int i = 0; i < list->List1->count(); ++i)
        texts << list->List1->item(i)->text();
    return texts;
}

static QStringList entries(const SortedPathList &list)
{
    return QStringList(list.entries().cbegin(), list.entries().cend());
}

// Opens the first of twelve pictures of folder f, which has two sounds too.
static void openFolder(Viewer &v, const Sandbox &box)
{
    for (int i = 1; i <= 12; ++i)
        box.picture(QString("f/p%1.bmp").arg(i), { 8 + i, 8 });
    box.write("f/a.wav", "x");
    box.write("f/b.mid", "x");
    v->Form_Load("");
    v->OpenPath(box.path() + "/f/p1.bmp");
}

void TestListWindow::mirrorsAndPicks()
{
    Sandbox box;
    Viewer v(box.path());
    openFolder(v, box);
    v->SlideShow_Click();
    v->ListView_Click();
    QVERIFY(!v->ssTimer.isActive());
    frmList *list = v->listWindow();
    QCOMPARE(list->windowTitle(), QString("リスト"));
    QVERIFY(list->TSel[0]->isChecked());
    QCOMPARE(rows(list), entries(v->m_BitmapList));
    QCOMPARE(v->m_BitmapList.count(), 12);

    list->List1->setCurrentRow(3);
    QCOMPARE(v->m_fname, v->m_BitmapList.at(3));
    QTest::keyClick(list->List1, Qt::Key_Down);
    QCOMPARE(v->m_bmpidx, 4);

    QTest::mouseClick(list->TSel[1], Qt::LeftButton);
    QCOMPARE(rows(list), entries(v->m_SoundList));
    // Emptying the rows picked nothing.
    QCOMPARE(v->m_bmpidx, 4);
    const QRect row1 = list->List1->visualItemRect(list->List1->item(1));
    QTest::mouseClick(list->List1->viewport(), Qt::LeftButton, {}, row1.center());
    QCOMPARE(v->MMControl1.fileName(), v->m_SoundList.at(1));
    QCOMPARE(v->m_sndidx, 1);
}

void TestListWindow::staleSizedAndDiscardedOnClose()
{
    Sandbox box;
    Viewer v(box.path());
    openFolder(v, box);
    v->ListView_Click();
    QPointer<frmList> first = v->listWindow();
    const QStringList before = rows(first);
    v->OpenPath(box.picture("g/other.bmp", { 8, 8 }));
    v->ListView_Click();
    QCOMPARE(v->listWindow(), first.data());
    QCOMPARE(rows(first), before);
    QTest::mouseClick(first->Command1, Qt::LeftButton);
    QCOMPARE(rows(first), QStringList { box.path() + "/g/other.bmp" });

    first->resize(20, 20);
    // 2000 x 3000 twips at 15 twips a pixel, frame included.
    QTRY_VERIFY(first->frameGeometry().width() >= 134 && first->frameGeometry().height() >= 200);
    QVERIFY(first->List1->geometry().bottom() < first->height());

    first->TSel[1]->setChecked(true);
    first->close();
    QVERIFY(!v->listWindow());
    v->ListView_Click();
    QPointer<frmList> second = v->listWindow();
    QVERIFY(second != first);
    QVERIFY(second->TSel[0]->isChecked());
    QTRY_VERIFY(!first);
    v->close();
    QTRY_VERIFY(!second);
}

QTEST_MAIN(TestListWindow)
#include "test_list_window.moc"
