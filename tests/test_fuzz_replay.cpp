// Every input that once crashed a fuzz target or took it too long, kept
// under tests/data/fuzz/<target>/, goes through that target again: each must
// finish, quickly, under every build.

// Qt
#include <QDirIterator>
#include <QtTest>

// Local
#include "fuzz/fuzz_entries.h"

class TestFuzzReplay : public QObject
{
    Q_OBJECT
private slots:
    void inputFinishes_data()
    {
        QTest::addColumn<QString>("path");
        QDirIterator it(QStringLiteral(VORLANE_SOURCE_DIR "/tests/data/fuzz"), QDir::Files,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QTest::newRow(qPrintable(path.section(QLatin1Char('/'), -2))) << path;
        }
    }

    void inputFinishes()
    {
        if (!QTest::currentDataTag())
            QSKIP("no inputs kept");
        QFETCH(QString, path);
        const auto entry = vorlane::fuzz::entryNamed(path.section(QLatin1Char('/'), -2, -2));
        QVERIFY(entry);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QElapsedTimer clock;
        clock.start();
        entry(file.readAll());
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_MAIN(TestFuzzReplay)
#include "test_fuzz_replay.moc"
