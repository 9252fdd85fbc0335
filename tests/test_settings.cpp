// The settings store and what the main window keeps in it.

// Qt
#include <QFile>
#include <QtTest>

// Local
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void namesCompareWithoutCase();
    void valuesSurviveANewStore();
    void absentKeyGivesTheDefault();
    void trimCopy_data();
    void trimCopy();
    void positionIsRestored();
    void noStoredPositionLeavesTheWindow();
    void absurdPositionsAreIgnored_data();
    void absurdPositionsAreIgnored();
    void exitStoresThePosition();
};

void TestSettings::namesCompareWithoutCase()
{
    Sandbox box;
    IniSettingsStore store(box.path());
    store.saveSetting("VORLANE", "Setting", "TrimCopy", "1");
    QCOMPARE(store.getSetting("vorlane", "setting", "trimcopy", "x"), QString("1"));
    store.saveSetting("vorlane", "window", "Top", "15");
    QCOMPARE(store.getSetting("VorLane", "WINDOW", "top", "x"), QString("15"));
    // Both application names live in one file.
    QCOMPARE(store.fileFor("VORLANE"), store.fileFor("vorlane"));
    QVERIFY(QFile::exists(store.fileFor("vorlane")));
}

void TestSettings::valuesSurviveANewStore()
{
    Sandbox box;
    IniSettingsStore(box.path()).saveSetting("VORLANE", "Setting", "USWidth", "640 px, wide");
    IniSettingsStore second(box.path());
    QCOMPARE(second.getSetting("VORLANE", "Setting", "USWidth", ""), QString("640 px, wide"));
}

void TestSettings::absentKeyGivesTheDefault()
{
    Sandbox box;
    IniSettingsStore store(box.path());
    QCOMPARE(store.getSetting("VORLANE", "Setting", "ShowClip", "0"), QString("0"));
    store.saveSetting("VORLANE", "Setting", "ShowClip", "");
    // An empty stored value is a value, not an absent key.
    QCOMPARE(store.getSetting("VORLANE", "Setting", "ShowClip", "0"), QString());
}

void TestSettings::trimCopy_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("1") << "1" << true;
    QTest::newRow("1.0") << "1.0" << true;
    QTest::newRow("1 with text after") << "1 yes" << true;
    QTest::newRow("2") << "2" << false;
    QTest::newRow("abc") << "abc" << false;
    QTest::newRow("0") << "0" << false;
}

void TestSettings::trimCopy()
{
    QFETCH(QString, stored);
    QFETCH(bool, on);
    Sandbox box;
    IniSettingsStore(box.path()).saveSetting("VORLANE", "Setting", "TrimCopy", stored);
    Viewer v(box.path());
    v->Form_Load("");
    QCOMPARE(v->m_trimcopy, on);
}

void TestSettings::positionIsRestored()
{
    Sandbox box;
    IniSettingsStore store(box.path());
    store.saveSetting("vorlane", "window", "Top", "1500");
    store.saveSetting("vorlane", "window", "Left", "3000");
    Viewer v(box.path());
    v->Form_Load("");
    QCOMPARE(v->windowTop(), 1500.0);
    QCOMPARE(v->windowLeft(), 3000.0);
}

void TestSettings::noStoredPositionLeavesTheWindow()
{
    Sandbox box;
    Viewer v(box.path());
    const double top = v->windowTop();
    const double left = v->windowLeft();
    v->Form_Load("");
    QCOMPARE(v->windowTop(), top);
    QCOMPARE(v->windowLeft(), left);
}

void TestSettings::absurdPositionsAreIgnored_data()
{
    QTest::addColumn<QString>("top");
    QTest::newRow("huge") << "99999999999999999999999";
    QTest::newRow("beyond the range of numbers") << QString(400, QLatin1Char('9'));
    QTest::newRow("far above") << "-2000000";
    QTest::newRow("not a number reads as 0") << "abc";
}

void TestSettings::absurdPositionsAreIgnored()
{
    QFETCH(QString, top);
    Sandbox box;
    IniSettingsStore(box.path()).saveSetting("vorlane", "window", "Top", top);
    Viewer v(box.path());
    const double before = v->windowTop();
    v->Form_Load("");
    const double expected = top == "abc" ? 0.0 : before;
    QCOMPARE(v->windowTop(), expected);
}

void TestSettings::exitStoresThePosition()
{
    Sandbox box;
    {
        Viewer v(box.path());
        v->Form_Load("");
        v->show();
        v->setWindowRect(4500, 1200, v->windowWidth(), v->windowHeight());
        QTRY_COMPARE(v->windowLeft(), 4500.0);
        v->close();
    }
    IniSettingsStore store(box.path());
    QCOMPARE(store.getSetting("vorlane", "window", "Left", ""), QString("4500"));
    QCOMPARE(store.getSetting("vorlane", "window", "Top", ""), QString("1200"));
    // A second start reads them back.
    Viewer again(box.path());
    again->Form_Load("");
    QCOMPARE(again->windowLeft(), 4500.0);
    QCOMPARE(again->windowTop(), 1200.0);
}

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
