// Text rules: the command line, numbers read from and written to text.

// Qt
#include <QtTest>

// Local
#include "app/command_line.h"
#include "app/numbers.h"

using namespace vorlane;

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void stripQuotes_data();
    void stripQuotes();
    void commandLine_data();
    void commandLine();
    void relativePathsGetTheCurrentFolder();
    void readNumber_data();
    void readNumber();
    void rounding_data();
    void rounding();
    void formatSingle_data();
    void formatSingle();
};

void TestCommandLine::stripQuotes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain path") << "/a/b.jpg" << "/a/b.jpg";
    QTest::newRow("spaces trimmed") << "  /a/b.jpg  " << "/a/b.jpg";
    QTest::newRow("tabs kept") << "\t/a.jpg\t" << "\t/a.jpg\t";
    QTest::newRow("quoted path with a space") << "\"/my pics/a b.jpg\"" << "/my pics/a b.jpg";
    QTest::newRow("spaces inside quotes trimmed") << "\"  /a.jpg \"" << "/a.jpg";
    QTest::newRow("nested quotes") << "\"\"/a.jpg\"\"" << "/a.jpg";
    QTest::newRow("missing closing quote drops the last character")
        << "\"/a/b.jpg" << "/a/b.jp";
    QTest::newRow("lone double quote stays") << "\"" << "\"";
    QTest::newRow("two quotes give nothing") << "\"\"" << "";
    QTest::newRow("empty") << "" << "";
}

void TestCommandLine::stripQuotes()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(StripQuotes(text), expected);
}

void TestCommandLine::commandLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<bool>("saveAtExit");
    QTest::addColumn<QString>("path");
    QTest::newRow("nothing") << "" << true << false << "";
    QTest::newRow("path") << "/p/a.jpg" << false << false << "/p/a.jpg";
    QTest::newRow("quoted path with a space")
        << "\"/p/my a.jpg\"" << false << false << "/p/my a.jpg";
    QTest::newRow("-A with quoted path")
        << "-A \"/p/my a.jpg\"" << false << true << "/p/my a.jpg";
    QTest::newRow("-A inside quotes") << "\"-A /p/a.jpg\"" << false << true << "/p/a.jpg";
    QTest::newRow("-a is not the prefix") << "-a /p/a.jpg" << false << false << "-a /p/a.jpg";
    QTest::newRow("-A without space is a path") << "-A/p/a.jpg" << false << false
                                                << "-A/p/a.jpg";
    QTest::newRow("-A only after leading spaces") << "   -A /p/a.jpg" << false << true
                                                  << "/p/a.jpg";
    QTest::newRow("only spaces") << "   " << false << false << "";
}

void TestCommandLine::commandLine()
{
    QFETCH(QString, text);
    const CommandLine cl = parseCommandLine(text);
    QTEST(cl.empty, "empty");
    QTEST(cl.saveAtExit, "saveAtExit");
    QTEST(cl.path, "path");
}

void TestCommandLine::relativePathsGetTheCurrentFolder()
{
    QCOMPARE(absoluteCommandPath("pics/a.jpg", "/home/u"), QString("/home/u/pics/a.jpg"));
    // No cleaning: the rules of the program work on the text as it is.
    QCOMPARE(absoluteCommandPath("../a.jpg", "/home/u"), QString("/home/u/../a.jpg"));
    QCOMPARE(absoluteCommandPath("/abs/a.jpg", "/home/u"), QString("/abs/a.jpg"));
    QCOMPARE(absoluteCommandPath("", "/home/u"), QString());
}

void TestCommandLine::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("integer") << "1500" << 1500.0;
    QTest::newRow("decimal") << "1.0" << 1.0;
    QTest::newRow("negative") << "-900" << -900.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("leading blanks") << "  \t 12" << 12.0;
    QTest::newRow("trailing text ignored") << "2.5cm" << 2.5;
    QTest::newRow("not a number") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("no exponent") << "1e5" << 1.0;
    QTest::newRow("comma is no decimal point") << "1,5" << 1.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("sign alone") << "-" << 0.0;
}

void TestCommandLine::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(vorlane::readNumber(text), expected);
}

void TestCommandLine::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("half to even down") << 2.5 << 2;
    QTest::newRow("half to even up") << 3.5 << 4;
    QTest::newRow("negative half") << -2.5 << -2;
    QTest::newRow("too large") << 1e20 << std::numeric_limits<qint32>::max();
    QTest::newRow("too small") << -1e20 << std::numeric_limits<qint32>::min();
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity()
                              << std::numeric_limits<qint32>::max();
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 0;
}

void TestCommandLine::rounding()
{
    QFETCH(double, value);
    QTEST(int(toInt32(value)), "expected");
}

void TestCommandLine::formatSingle_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole") << 100.0f << "100";
    QTest::newRow("negative") << -900.0f << "-900";
    QTest::newRow("seven digits") << float(200.0 / 3.0) << "66.66666";
    QTest::newRow("fraction") << 2.5f << "2.5";
    QTest::newRow("large stays plain") << 123456789.0f << "123456792";
    QTest::newRow("negative zero") << -0.0f << "0";
}

void TestCommandLine::formatSingle()
{
    QFETCH(float, value);
    QFETCH(QString, expected);
    const QString text = vorlane::formatSingle(value);
    QCOMPARE(text, expected);
    // Whatever is written reads back as the same single-precision value.
    QCOMPARE(float(vorlane::readNumber(text)), float(vorlane::readNumber(expected)));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
