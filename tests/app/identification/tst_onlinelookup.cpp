#include <QtTest>

#include <QMutex>
#include <sys/stat.h>

#include "app/identification/idaudiofile.h"
#include "app/identification/idaudiofilegroup.h"
#include "app/identification/stages/fingerprintandlookup.h"
#include "app/identification/idsegment.h"
#include "app/operations/modelupdateoperation.h"
#include "app/webservice/autolookupapicall.h"
#include "app/webservice/dbalbumimage.h"
#include "app/webservice/support_testservice.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/progress/combinedprogressobject.h"
#include "libcore/settings/settingsstore.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/support_tools.h"
#include "support_identification.h"

namespace {

using Values = QList<QPair<int, QVariant>>;
const QString AutoLookupId = QStringLiteral("677aff2d");

class ErrorCollector : public Logger
{
public:
    ErrorCollector() { setRegistered(true); }
    void log(const LogMessage &message) override
    {
        QMutexLocker lock(&mutex);
        if (message.level == LogLevel::Error)
            codes.append(message.code);
    }
    QMutex mutex;
    QList<quint32> codes;
};

// Both values the lookup needs, so that no calculator runs for the file.
const Values Printed{{TagItemType::PlayDuration, 180000}, {TagItemType::Fingerprint, "AQAAprint"}};

IdAudioFile *idFile(QObject *owner, const QString &path, const Values &tagValues, const QString &title = QString())
{
    auto *file = new AudioFile(path, owner);
    if (!tagValues.isEmpty()) {
        auto *tag = new AudioTag;
        for (const auto &[type, value] : tagValues)
            tag->addItemValue(type, value);
        file->setTag(tag, 0);
    }
    auto *view = new IdAudioFile(file, owner);
    if (!title.isEmpty())
        view->setValue(IdField::Title, title);
    return view;
}

QList<IdAudioFile *> idFiles(QObject *owner, int count, const Values &tagValues = Printed)
{
    QList<IdAudioFile *> files;
    for (int i = 0; i < count; ++i)
        files.append(idFile(owner, QStringLiteral("/nonexistent/%1.mp3").arg(i), tagValues, QStringLiteral("t%1").arg(i)));
    return files;
}

IdAudioFileGroup *group(const QList<IdAudioFile *> &files, int type, QObject *owner)
{
    return new IdAudioFileGroup(files, QSet<IdAudioFile *>(files.cbegin(), files.cend()), type, owner);
}

// A reply that gives each of n files the title "<prefix><index>".
TestMetadataService::Reply titles(int n, const QString &prefix)
{
    QString data = QStringLiteral("<g>");
    for (int i = 0; i < n; ++i)
        data += QStringLiteral("<f><m k='140' v='%1%2'/></f>").arg(prefix).arg(i);
    return okReply(data + QStringLiteral("</g>"));
}

QString workingTitle(ModelUpdateOperation &operation, IdAudioFile *file)
{
    if (!operation.tagCopies().contains(file->audioFile()))
        return QStringLiteral("<untouched>");
    return operation.workingTag(file->audioFile())->itemText(TagItemType::Title);
}

// The values a request sent for one file, "code=value" in order.
QStringList sentValues(const TestMetadataService::Call &call, int fileIndex)
{
    QDomElement f = call.document.documentElement().firstChildElement("d").firstChildElement("g").firstChildElement("f");
    for (int i = 0; i < fileIndex; ++i)
        f = f.nextSiblingElement("f");
    QStringList values;
    for (QDomElement m = f.firstChildElement("m"); !m.isNull(); m = m.nextSiblingElement("m"))
        values.append(m.attribute("k") + "=" + m.attribute("v"));
    return values;
}

// A few seconds of a tone with some noise: enough for the calculator to find a fingerprint.
bool makeAudio(const QString &path)
{
    return run(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=220:duration=8,volume=0.5",
                                          "-f", "lavfi", "-i", "anoisesrc=d=8:a=0.05", "-filter_complex", "amix=inputs=2",
                                          "-ac", "1", path});
}

} // namespace

// The online lookup stage: fingerprints what lacks one, asks the loopback service about each
// album group and writes the answers into the working copies of the result operation.
class TestOnlineLookup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        setUpIdentificationTests();
        registerWebServiceMetaTypes();
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        SettingsStore::reset();
        m_service = startTestService(this);
        QVERIFY(m_service);
    }

    void cleanup()
    {
        delete m_service;
        m_service = nullptr;
    }

    void noGroups()
    {
        CombinedProgressObject progress;
        ModelUpdateOperation operation{AudioFileSelection()};
        fingerprintAndLookup({}, &progress, &operation);
        QVERIFY(progress.isFinished());
        QVERIFY(m_service->calls.isEmpty());
    }

    // One call per group, in order; each group's answer reaches its selected files only.
    void groupsInTurn()
    {
        QObject owner;
        const QList<IdAudioFile *> album = idFiles(&owner, 2);
        IdAudioFile *context = idFile(&owner, "/nonexistent/context.mp3", Printed);
        IdAudioFile *single = idFile(&owner, "/nonexistent/single.mp3", Printed);
        auto *albumGroup = new IdAudioFileGroup(album + QList<IdAudioFile *>{context}, {album[0], album[1]},
                                                IdAudioFileGroup::OneArtistAlbum, &owner);
        m_service->queue({titles(3, "album "), titles(1, "single ")});
        CombinedProgressObject progress;
        ModelUpdateOperation operation{AudioFileSelection()};
        fingerprintAndLookup({albumGroup, group({single}, IdAudioFileGroup::UnrelatedFiles, &owner)}, &progress, &operation);

        QCOMPARE(m_service->calls.size(), 2);
        QCOMPARE(workingTitle(operation, album[0]), QStringLiteral("album 0"));
        QCOMPARE(workingTitle(operation, album[1]), QStringLiteral("album 1"));
        QCOMPARE(workingTitle(operation, context), QStringLiteral("<untouched>"));
        QCOMPARE(workingTitle(operation, single), QStringLiteral("single 0"));
        // Files with both values start no calculator; the tag's values go to the service.
        QVERIFY(sentValues(m_service->calls[1], 0).contains("60=AQAAprint"));
        QVERIFY(sentValues(m_service->calls[1], 0).contains("105=180000"));
        QVERIFY(progress.isFinished());
        QCOMPARE(progress.childCount(), 2);
        // Nothing of the lookup reaches the files themselves.
        QCOMPARE(single->audioFile()->tags().value(0)->itemText(TagItemType::Title), QString());
    }

    // Only files without a duration or a fingerprint are fingerprinted; a calculator run that
    // gives no fingerprint leaves the tag's own duration to be sent, never a duration of 0.
    void fingerprinting()
    {
        if (!hasTool("fpcalc") || !hasTool("ffmpeg"))
            QSKIP("fpcalc and ffmpeg are needed");
        const QString audio = m_dir.filePath("tone.mp3");
        QVERIFY(makeAudio(audio));
        ErrorCollector log;
        QObject owner;
        IdAudioFile *printed = idFile(&owner, audio, Printed);
        IdAudioFile *noDuration = idFile(&owner, audio, {{TagItemType::Fingerprint, "stale"}});
        // Too short for a fingerprint: the calculator ends with an error and no result.
        IdAudioFile *tooShort = idFile(&owner, QStringLiteral(MELO_FIXTURES "/plain/cbr-info.mp3"),
                                       {{TagItemType::PlayDuration, 5000}});
        IdAudioFile *missing = idFile(&owner, m_dir.filePath("missing.mp3"), {});
        m_service->queue({titles(4, "t")});
        ModelUpdateOperation operation{AudioFileSelection()};
        fingerprintAndLookup({group({printed, noDuration, tooShort, missing}, IdAudioFileGroup::UnrelatedFiles, &owner)},
                             nullptr, &operation);

        QCOMPARE(m_service->calls.size(), 1);
        const TestMetadataService::Call &call = m_service->calls.first();
        QCOMPARE(sentValues(call, 0), (QStringList{"60=AQAAprint", "105=180000"}));
        const QStringList calculated = sentValues(call, 1);
        QCOMPARE(calculated.size(), 2);
        QVERIFY(calculated[0].startsWith("60=AQ"));
        QVERIFY(calculated[0] != "60=stale");
        QCOMPARE(calculated[1], QStringLiteral("105=8000"));
        QCOMPARE(sentValues(call, 2), QStringList{"105=5000"});
        QCOMPARE(sentValues(call, 3), QStringList());
        QCOMPARE(log.codes.size(), 2); // both failed runs are logged
        // The fingerprints travel in the request only.
        QVERIFY(!operation.workingTag(noDuration->audioFile())->contains(TagItemType::Fingerprint));
    }

    void lookupFails_data()
    {
        QTest::addColumn<QList<TestMetadataService::Reply>>("replies");
        QTest::addColumn<quint32>("error"); // 0 for none
        QTest::addColumn<int>("calls");
        QTest::newRow("busy, then an answer") << QList<TestMetadataService::Reply>{busyReply(), titles(1, "b")} << 0u << 2;
        QTest::newRow("refused at once") << QList<TestMetadataService::Reply>{serviceReply("c='2'")}
                                         << quint32(ServerCallFailureTextId) << 1;
        QTest::newRow("an error three times")
            << QList<TestMetadataService::Reply>{serviceReply("c='1' e='5'")} << quint32(ServerCallErrorTextId) << 3;
        QTest::newRow("answers for another number of files")
            << QList<TestMetadataService::Reply>{titles(2, "b")} << quint32(AutoLookupFileCountTextId) << 1;
    }

    // A lookup that fails for good ends the stage with its error: the groups before it keep
    // their results (the run discards them all), the failing group gets none.
    void lookupFails()
    {
        QFETCH(QList<TestMetadataService::Reply>, replies);
        QFETCH(quint32, error);
        QFETCH(int, calls);
        QObject owner;
        IdAudioFile *first = idFile(&owner, "/nonexistent/a.mp3", Printed);
        IdAudioFile *second = idFile(&owner, "/nonexistent/b.mp3", Printed);
        m_service->queue({titles(1, "a")});
        m_service->script(AutoLookupId, replies);
        ModelUpdateOperation operation{AudioFileSelection()};
        CombinedProgressObject progress;
        quint32 thrown = 0;
        try {
            fingerprintAndLookup({group({first}, 2, &owner), group({second}, 2, &owner)}, &progress, &operation);
        } catch (const Exception &e) {
            thrown = e.code;
        }
        QCOMPARE(thrown, error);
        QCOMPARE(m_service->calls.size(), 1 + calls);
        QCOMPARE(workingTitle(operation, first), QStringLiteral("a0"));
        QCOMPARE(workingTitle(operation, second), error ? QStringLiteral("<untouched>") : QStringLiteral("b0"));
    }

    // Cancelled while the service answers the second group: the first group's results stay,
    // the second's are not written, and the stage does not finish its progress.
    void cancelDuringLookup()
    {
        QObject owner;
        IdAudioFile *first = idFile(&owner, "/nonexistent/a.mp3", Printed);
        IdAudioFile *second = idFile(&owner, "/nonexistent/b.mp3", Printed);
        IdAudioFile *third = idFile(&owner, "/nonexistent/c.mp3", Printed);
        m_service->queue({titles(1, "a"), titles(1, "b"), titles(1, "c")});
        CombinedProgressObject progress;
        auto answer = m_service->server.handler;
        m_service->server.handler = [&](const TestHttpServer::Request &request) {
            if (m_service->calls.size() == 1)
                progress.cancel();
            return answer(request);
        };
        ModelUpdateOperation operation{AudioFileSelection()};
        fingerprintAndLookup({group({first}, 2, &owner), group({second}, 2, &owner), group({third}, 2, &owner)},
                             &progress, &operation);
        QCOMPARE(m_service->calls.size(), 2);
        QCOMPARE(workingTitle(operation, first), QStringLiteral("a0"));
        QCOMPARE(workingTitle(operation, second), QStringLiteral("<untouched>"));
        QCOMPARE(workingTitle(operation, third), QStringLiteral("<untouched>"));
        QVERIFY(progress.isCanceled());
    }

    // A calculator that never ends is stopped by Cancel: the stage returns without asking the
    // service and without a calculator left running.
    void cancelDuringFingerprinting()
    {
        if (!hasTool("fpcalc"))
            QSKIP("fpcalc is needed");
        const QString fifo = m_dir.filePath("never.mp3"); // opening it waits for a writer for ever
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QObject owner;
        IdAudioFile *hanging = idFile(&owner, fifo, {});
        CombinedProgressObject progress;
        QTimer::singleShot(300, &progress, &CombinedProgressObject::cancel);
        ModelUpdateOperation operation{AudioFileSelection()};
        QElapsedTimer clock;
        clock.start();
        fingerprintAndLookup({group({hanging}, 2, &owner)}, &progress, &operation);
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY(m_service->calls.isEmpty());
        QVERIFY(operation.tagCopies().isEmpty());
        QCOMPARE(outputOf("pgrep", {"-f", fifo}), QByteArray());
    }

    // In the identification's worker thread: the calculator and the service are reached from
    // there, and the operation with everything the stage put into it moves to the GUI thread
    // once the worker is done.
    void inWorkerThread()
    {
        QObject owner;
        IdAudioFile *known = idFile(&owner, "/nonexistent/a.mp3", Printed);
        IdAudioFile *unknown = idFile(&owner, m_dir.filePath("absent.mp3"), {{TagItemType::PlayDuration, 7000}});
        IdAudioFileGroup *files = group({known, unknown}, 2, &owner);
        m_service->queue({titles(2, "w")});
        QThread *gui = QThread::currentThread();
        ModelUpdateOperation *result = nullptr;
        QThread *worker = QThread::create([&] {
            auto *operation = new ModelUpdateOperation(AudioFileSelection());
            CombinedProgressObject progress;
            fingerprintAndLookup({files}, &progress, operation);
            operation->moveToThread(gui);
            result = operation;
        });
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 30000);
        delete worker;
        QVERIFY(result);
        QScopedPointer<ModelUpdateOperation> operation(result);
        QCOMPARE(operation->thread(), gui);
        AudioTag *tag = operation->workingTag(unknown->audioFile());
        QCOMPARE(tag->thread(), gui);
        QCOMPARE(tag->item(TagItemType::Title)->thread(), gui);
        QCOMPARE(tag->itemText(TagItemType::Title), QStringLiteral("w1"));
        QCOMPARE(sentValues(m_service->calls.first(), 1), QStringList{"105=7000"});
    }

    void artworkDownload_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("fetched");
        QTest::newRow("unrelated files, 250 in all") << 2 << 250 << true << true;
        QTest::newRow("unrelated files, 251 in all") << 2 << 251 << true << false;
        QTest::newRow("an album, 251 in all") << 0 << 251 << true << true;
        QTest::newRow("download switched off") << 1 << 3 << false << false;
    }

    void artworkDownload()
    {
        QFETCH(int, type);
        QFETCH(int, files);
        QFETCH(bool, enabled);
        SettingsStore::setValue(QStringLiteral("artwork/download/enabled"), enabled ? "1" : "0");
        SettingsStore::setValue(QStringLiteral("artwork/download/types"), QStringLiteral("1"));
        m_service->files = {{"/cover", rawReply(imageBytes(64, 64))}};
        QString data = QStringLiteral("<g><m k='19'><a t='1'><i u='%1/cover'/></a></m>").arg(m_service->url(QString()));
        for (int i = 0; i < files; ++i)
            data += QStringLiteral("<f><x k='19'/></f>");
        m_service->queue({okReply(data + "</g>")});
        QObject owner;
        const QList<IdAudioFile *> views = idFiles(&owner, files);
        ModelUpdateOperation operation{AudioFileSelection()};
        fingerprintAndLookup({group(views, type, &owner)}, nullptr, &operation);
        QTEST(!m_service->fetched.isEmpty(), "fetched");
        QTEST(operation.workingTag(views.last()->audioFile())->contains(TagItemType::Artwork), "fetched");
    }

private:
    QTemporaryDir m_dir;
    TestMetadataService *m_service = nullptr;
};

QTEST_MAIN(TestOnlineLookup)
#include "tst_onlinelookup.moc"
