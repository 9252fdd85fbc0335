// The about and options window: the stored options, the ways it closes,
// and its links.

// Qt
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

// Std
#include <functional>

// Local
#include "exchange/about_window.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

using Action = std::function<void(frmAbout &)>;
Q_DECLARE_METATYPE(Action)

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void closing_data()
    {
        // Options as two characters, "TrimCopy" then "ShowClip"; "--": none.
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<Action>("finish"); // after both boxes are toggled
        QTest::addColumn<QString>("after");
        const Action ok = [](frmAbout &a) { a.cmdOK->click(); };
        // clang-format off
        QTest::newRow("nothing stored, OK") << "--" << "00" << ok << "11";
        QTest::newRow("stored, OK") << "10" << "10" << ok << "01";
        QTest::newRow("not a number") << "x1" << "01" << ok << "10";
        QTest::newRow("Esc presses OK") << "01" << "01"
            << Action([](frmAbout &a) { QTest::keyClick(&a, Qt::Key_Escape); }) << "10";
        QTest::newRow("close box stores nothing") << "01" << "01"
            << Action([](frmAbout &a) { a.windowHandle()->close(); }) << "01";
        // clang-format on
    }
    void closing()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(Action, finish);
        QFETCH(QString, after);
        Sandbox box;
        Viewer v(box.path());
        const QString app = "VORLANE", section = "Setting";
        if (stored != "--") {
            v.settings.saveSetting(app, section, "TrimCopy", stored.left(1));
            v.settings.saveSetting(app, section, "ShowClip", stored.mid(1));
        }
        QString seen;
        QStringList links;
        QTimer::singleShot(0, [&] {
            auto &about = *qobject_cast<frmAbout *>(QApplication::activeModalWidget());
            for (QCheckBox *option : { about.TrimCopy, about.ShowClip }) {
                seen += option->isChecked() ? '1' : '0';
                option->toggle();
            }
            // The links open in the browser and leave the dialog open.
            for (QLabel *link : about.Label2) {
                QTest::mouseClick(link, Qt::LeftButton);
                links << link->text();
            }
            finish(about);
        });
        v->info_Click();
        QCOMPARE(seen, shown);
        QCOMPARE(v.shell.opened, links);
        const QString trim = v.settings.getSetting(app, section, "TrimCopy", "-");
        QCOMPARE(trim + v.settings.getSetting(app, section, "ShowClip", "-"), after);
        QCOMPARE(v->m_trimcopy, trim == "1");
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
