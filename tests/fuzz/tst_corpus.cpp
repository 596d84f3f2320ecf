#include <QtTest>

#include "fuzzsupport.h"

#include <QDir>

// Replays every seed and every input that once made a fuzz target fail. A failure aborts
// inside the target's body with the items that went missing, as in the fuzz run.
class TestCorpus : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // Leniency meant for exploring new inputs never reaches the regression replay.
        Fuzz::setStrict(true);
    }

    void everyFolderHasItsTarget()
    {
        const QDir corpus(QStringLiteral(MELO_FUZZ_CORPUS));
        const QStringList folders = corpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY(!folders.isEmpty());
        for (const QString &folder : folders)
            QVERIFY2(Fuzz::targets().contains(folder), qPrintable(folder));
    }

    void replay_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("path");
        const QDir corpus(QStringLiteral(MELO_FUZZ_CORPUS));
        for (const QString &target : Fuzz::targets().keys()) {
            const QDir folder(corpus.filePath(target));
            for (const QString &file : folder.entryList(QDir::Files, QDir::Name)) {
                QTest::newRow(qPrintable(target + QLatin1Char('/') + file)) << target << folder.filePath(file);
            }
        }
    }
    void replay()
    {
        QFETCH(QString, target);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        Fuzz::run(qPrintable(target), reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
        QVERIFY2(Fuzz::lastInputParsed(), "the input gives neither a tag nor audio properties");
    }
};

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
