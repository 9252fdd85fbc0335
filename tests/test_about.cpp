// The about and options window: the stored options, the ways it closes,
// and its links.

// Qt
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

// Local
#include "exchange/about_window.h"
#include "support/sandbox.h"

using namespace vorlane;
using namespace vorlane::test;

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void closing_data()
    {
        // Options as two characters, "TrimCopy" then "ShowClip" ("--": none);
        // both boxes are toggled, then the dialog closed by OK, Esc or the
        // close box.
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("close");
        QTest::addColumn<QString>("after");
        QTest::newRow("nothing stored, OK") << "--" << "00" << "OK" << "11";
        QTest::newRow("not a number") << "x1" << "01" << "OK" << "10";
        QTest::newRow("Esc presses OK") << "10" << "10" << "Esc" << "01";
        QTest::newRow("close box stores nothing") << "01" << "01" << "box" << "01";
    }
    void closing()
    {
        QFETCH(QString, stored);
        QFETCH(QString, close);
        Sandbox box;
        Viewer v(box.path());
        if (stored != "--") {
            v.settings.saveSetting("VORLANE", "Setting", "TrimCopy", stored.left(1));
            v.settings.saveSetting("VORLANE", "Setting", "ShowClip", stored.mid(1));
        }
        QString shown;
        QStringList links;
        QTimer::singleShot(0, [&] {
            auto &about = *qobject_cast<frmAbout *>(QApplication::activeModalWidget());
            for (QCheckBox *option : { about.TrimCopy, about.ShowClip }) {
                shown += option->isChecked() ? '1' : '0';
                option->toggle();
            }
            // The links open in the browser and leave the dialog open.
            for (QLabel *link : about.Label2) {
                QTest::mouseClick(link, Qt::LeftButton);
                links << link->text();
            }
            if (close == "OK")
                about.cmdOK->click();
            else if (close == "Esc")
                QTest::keyClick(&about, Qt::Key_Escape);
            else
                about.windowHandle()->close();
        });
        v->info_Click();
        QTEST(shown, "shown");
        QCOMPARE(v.shell.opened, links);
        const QString trim = v.settings.getSetting("VORLANE", "Setting", "TrimCopy", "-");
        QTEST(trim + v.settings.getSetting("VORLANE", "Setting", "ShowClip", "-"), "after");
        QCOMPARE(v->m_trimcopy, trim == "1");
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
