#include "ShellQuote.h"

#include <QProcess>
#include <QTest>

// Awkward names survive a round trip through bash, each command staying on one line.
class TestShellQuote : public QObject
{
    Q_OBJECT

private slots:
    void bashReadsTheWordBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain path") << "/srv/in/clip_01.mkv";
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "my  holiday clip.mkv";
        QTest::newRow("single quotes") << "it's 'quoted'.mkv";
        QTest::newRow("double quotes") << "say \"cheese\".mkv";
        QTest::newRow("dollar") << "$HOME ${PATH} $(id).mkv";
        QTest::newRow("backticks") << "`id` clip.mkv";
        QTest::newRow("backslash") << "a\\b\\'c.mkv";
        QTest::newRow("newline") << "two\nlines.mkv";
        QTest::newRow("newline and quote") << "it's\nnew\r\t.mkv";
        QTest::newRow("leading dash") << "-y";
        QTest::newRow("globs and tilde") << "~/*.mkv [ab]? !x #y;z&|<>";
        QTest::newRow("non-ASCII") << "Ünïcødé 映画 ✓.mkv";
        QTest::newRow("option string") << "scale=trunc(iw/2)*2:trunc(ih/2)*2";
    }
    void bashReadsTheWordBack()
    {
        QFETCH(QString, text);
        const QString quoted = ShellQuote::word(text);
        QVERIFY2(!quoted.contains('\n') && !quoted.contains('\r'), qPrintable(quoted));
        QProcess bash;
        bash.start("bash", {"-c", "printf '%s\\0' " + ShellQuote::command({text, "end"})});
        QVERIFY(bash.waitForFinished());
        QCOMPARE(bash.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(bash.readAllStandardOutput()),
                 text + QChar(0) + "end" + QChar(0));
    }
};

QTEST_GUILESS_MAIN(TestShellQuote)
#include "TestShellQuote.moc"
