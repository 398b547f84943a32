#include "settings/CRegister.h"
#include "tests/settings/NameEvents.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const quint32 kRoot = CRegister::HKEY_LOCAL_MACHINE;
const QString kParent = QStringLiteral("Software\\Tarnwick Reelforge");
const QString kSection = kParent + QStringLiteral("\\Settings");
} // namespace

class TestCRegister : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString iniFile(const QString &name) const { return m_dir.filePath(name + ".ini"); }

private slots:
    // Text the store quotes or escapes comes back as it was; a key with a subkey stays, and a
    // deleted key takes its values and no other key's.
    void valuesAndKeys()
    {
        const CRegister store(iniFile("values"));
        const QStringList awkward = {" \"a;b=c\\\n", "a\"b\\", "007"};
        QVERIFY(store.REGSaveSettings(
            kRoot, kSection,
            {{"odd", awkward.at(0)}, {"odd2", awkward.at(1)}, {"t", awkward.at(2)}}));
        const QHash<QString, QString> stored = store.REGGetSettings(kRoot, kSection);
        QCOMPARE(QStringList({stored["odd"], stored["odd2"], stored["t"]}), awkward);
        QVERIFY(!QFile::exists(iniFile("values") + ".damaged"));

        QVERIFY(store.REGSaveSetting(kRoot, kParent, "kept", "p"));
        QVERIFY(!store.REGDeleteSetting(kRoot, kParent)); // it has a subkey
        QVERIFY(store.REGDeleteSetting(kRoot, kSection));
        QCOMPARE(store.REGGetSetting(kRoot, kSection, "t", "d"), QString("d"));
        QCOMPARE(store.REGGetSetting(kRoot, kParent, "kept"), QString("p"));
    }

    // What can still be read survives the next write; the damaged original is kept beside it.
    void damagedFilesKeepWhatCanBeRead_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<bool>("setAside");
        QTest::newRow("truncated")
            << QByteArray("[HKEY_LOCAL_MACHINE]\nSoftware\\Tarn") << "d" << true;
        // The store would read past it, and drop it from the next write.
        QTest::newRow("hand-added comment")
            << QByteArray("[HKEY_LOCAL_MACHINE]\n# note\n"
                          "Software\\Tarnwick%20Reelforge\\Settings\\a=/data/out\n")
            << "/data/out" << true;
        QTest::newRow("wrong shape")
            << QByteArray("[HKEY_LOCAL_MACHINE]\nSoftware\\Tarnwick%20Reelforge\\Settings\\a="
                          "@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\xfQVariantList\\0)\n")
            << "d" << false;
        // Junk that would swallow the lines after it costs only itself.
        const QByteArray settings("[HKEY_LOCAL_MACHINE]\nSoftware\\Tarnwick%20Reelforge\\Settings"
                                  "\\a=\"/data/out; 2\"\n");
        QTest::newRow("unbalanced quote") << "x=\"y\n" + settings << "/data/out; 2" << true;
        QTest::newRow("trailing backslash") << "x=y\\\r\n" + settings << "/data/out; 2" << true;
        QTest::newRow("no room for the original")
            << "x=\"y\n" + QByteArray(settings).replace("\"/data/out; 2\"", "kept") << "kept"
            << true;
    }

    void damagedFilesKeepWhatCanBeRead()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, kept);
        QFETCH(bool, setAside);
        const QString file = iniFile(QString("damaged-") + QTest::currentDataTag());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(content) == content.size());
        out.close();
        // A repair that cannot keep the original beside the file writes nothing at all.
        const bool blocked = QTest::currentDataTag() == QByteArray("no room for the original");
        QVERIFY(!blocked || QDir().mkdir(file + ".damaged"));
        const CRegister store(file);
        QCOMPARE(store.REGGetSetting(kRoot, kSection, "a", "d"), kept);
        // Later writes work, and each keeps the ones before it.
        QCOMPARE(store.REGSaveSetting(kRoot, kSection, "b", "1"), !blocked);
        if (blocked) {
            QVERIFY(!store.REGDeleteSetting(kRoot, kSection, "a") && out.open(QIODevice::ReadOnly));
            QCOMPARE(out.readAll(), content);
            QCOMPARE(store.REGGetSetting(kRoot, kSection, "a"), kept);
            return;
        }
        QVERIFY(store.REGSaveSetting(kRoot, kSection, "c", "2"));
        QCOMPARE(store.REGGetSetting(kRoot, kSection, "a", "d") +
                     store.REGGetSetting(kRoot, kSection, "b", "d"),
                 kept + "1");
        QFile aside(file + ".damaged");
        QCOMPARE(aside.open(QIODevice::ReadOnly) ? aside.readAll() : QByteArray(),
                 setAside ? content : QByteArray());
    }

    // A batch is one read, and at most one replacement of the file whatever state it was in.
    void batchesReadOnceAndWriteOnce_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("sound") << QByteArray("[HKEY_LOCAL_MACHINE]\nother=kept\n");
        QTest::newRow("damaged") << QByteArray("[HKEY_LOCAL_MACHINE]\nother=kept\nx=\"y\n");
    }

    void batchesReadOnceAndWriteOnce()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir folder;
        const QString file = folder.filePath("s.ini");
        QFile out(file);
        QVERIFY(content.isEmpty() || (out.open(QIODevice::WriteOnly) && out.write(content) > 0));
        out.close();
        NameEvents events(folder.path());
        const CRegister store(file);
        const CRegister::Values values = {{"a", "1"}, {"b", " two; 2"}, {"*", "unnamed"}};
        QVERIFY(store.REGSaveSettings(kRoot, kSection, values));
        const bool damaged = content.contains('"');
        QMap<QString, int> seen = events.take();
        QCOMPARE(seen.value("placed:s.ini"), 1);
        QCOMPARE(seen.value("placed:s.ini.damaged"), int(damaged));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).join(' '),
                 damaged ? QString("s.ini s.ini.damaged") : QString("s.ini"));

        const QHash<QString, QString> stored = store.REGGetSettings(kRoot, kSection);
        seen = events.take();
        QCOMPARE(seen.value("opened:s.ini"), 1);
        QCOMPARE(stored, (QHash<QString, QString>{{"a", "1"}, {"b", " two; 2"}, {"*", "unnamed"}}));
        // The same values again write nothing; what was there before stays.
        QVERIFY(store.REGSaveSettings(kRoot, kSection, values));
        QCOMPARE(events.take().value("placed:s.ini"), 0);
        QCOMPARE(store.REGGetSetting(kRoot, "", "other", "gone"),
                 content.isEmpty() ? QString("gone") : QString("kept"));
    }
};

QTEST_GUILESS_MAIN(TestCRegister)
#include "TestCRegister.moc"
