#include <QtTest>

#include <QDomDocument>
#include <QMutex>

#include "app/identification/idmainhandlerthread.h"
#include "app/model/audiofileloading.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/modeldatatype.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/shell/headlessmainwindow.h"
#include "app/webservice/autolookupapicall.h"
#include "app/webservice/dbalbumimage.h"
#include "app/webservice/serverapicall.h"
#include "app/webservice/support_testservice.h"
#include "libcore/log/bufferedlogger.h"
#include "libcore/settings/settingsstore.h"
#include "libcore/text/textcatalogue.h"
#include "libgui/progress/progressdialog.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/support_tools.h"
#include "support_identification.h"

namespace {

// Two folders as collections hold them: "Artist - Album (Year)" with "NN - Title" files, and
// "Artist/Album" with "N. Artist - Title" files, one of them with a tag of its own.
struct FixtureFile {
    const char *path;
    const char *title; // in the file's tag; empty: no tag
};
const FixtureFile Fixture[] = {
    {"Lumens - Quiet Hours (2001)/01 - Morning Light.mp3", "morning light"},
    {"Lumens - Quiet Hours (2001)/02 - Paper Boats.mp3", ""},
    {"Lumens - Quiet Hours (2001)/03 - Slow River.mp3", ""},
    {"Harbour/Low Tide/1. Harbour - Salt.flac", ""},
    {"Harbour/Low Tide/2. Harbour - Ropes.flac", ""},
};

// A few seconds of a tone with some noise, encoded by ffmpeg's encoders (LAME for MPEG audio),
// with a title tag written by ffmpeg when one is given.
bool makeAudio(const QString &path, const QString &title)
{
    QStringList arguments{"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=330:duration=5,volume=0.5",
                          "-f", "lavfi", "-i", "anoisesrc=d=5:a=0.05", "-filter_complex", "amix=inputs=2", "-ac", "1"};
    if (!title.isEmpty())
        arguments += QStringList{"-metadata", "title=" + title};
    return run(QStringLiteral("ffmpeg"), arguments + QStringList{path});
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int requestedFiles(const QByteArray &body)
{
    QDomDocument document;
    if (!document.setContent(body))
        return 0;
    int count = 0;
    QDomElement group = document.documentElement().firstChildElement("d").firstChildElement("g");
    for (QDomElement f = group.firstChildElement("f"); !f.isNull(); f = f.nextSiblingElement("f"))
        ++count;
    return count;
}

// The service's answer for a group: artist and album for the group, which every file takes
// by reference, and a title and a track number per file, for `files` files.
TestMetadataService::Reply albumReply(int call, int files)
{
    QString data = QStringLiteral("<g><m k='14' v='Service Artist %1'/><m k='1' v='Service Album %1'/>").arg(call);
    for (int i = 0; i < files; ++i)
        data += QStringLiteral("<f><x k='14'/><x k='1'/><m k='140' v='Track %1 of call %2'/><m k='144' v='%1'/></f>").arg(i + 1).arg(call);
    return okReply(data + QStringLiteral("</g>"));
}

QString itemText(const AudioTag *tag, int itemType)
{
    return tag ? tag->itemText(itemType) : QString();
}

} // namespace

// Identification from end to end, as the identify command runs it: real files loaded into the
// model, the identification thread under a progress dialog, the loopback service answering the
// automatic lookups, then the result applied and undone through the undo queue. Nothing may
// reach the files before they are saved.
class TestIdentification : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        setUpIdentificationTests();
        registerWebServiceMetaTypes();
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        TextCatalogue::applyLanguage(english, english);
        if (!hasTool("ffmpeg") || !hasTool("fpcalc"))
            QSKIP("ffmpeg and fpcalc are needed (scripts/setup installs them)");
        QVERIFY(m_dir.isValid());
        for (const FixtureFile &file : Fixture) {
            const QString path = m_dir.filePath(QString::fromUtf8(file.path));
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QVERIFY(makeAudio(path, QString::fromUtf8(file.title)));
            m_paths.append(path);
        }
    }

    void init()
    {
        SettingsStore::reset();
        m_service = startTestService(this);
        QVERIFY(m_service);
        // Every lookup is answered for the files it asked about, after the replies queued in
        // `m_first` (busy, refused, a wrong number of files) are used up.
        auto record = m_service->server.handler;
        m_service->server.handler = [this, record](const TestHttpServer::Request &request) {
            const TestMetadataService::Reply recorded = record(request);
            if (request.method != "POST")
                return recorded;
            QMutexLocker lock(&m_mutex);
            if (!m_first.isEmpty())
                return m_first.takeFirst();
            return albumReply(++m_answered, requestedFiles(request.body) + m_fileCountError);
        };
        m_first.clear();
        m_answered = 0;
        m_fileCountError = 0;
    }

    void cleanup()
    {
        delete m_service;
        m_service = nullptr;
    }

    void identify_data()
    {
        QTest::addColumn<QList<TestMetadataService::Reply>>("first");
        QTest::addColumn<int>("fileCountError"); // files answered minus files asked about
        QTest::addColumn<quint32>("error");      // 0: the run succeeds
        QTest::newRow("answered") << QList<TestMetadataService::Reply>() << 0 << 0u;
        QTest::newRow("busy, then answered") << QList<TestMetadataService::Reply>{busyReply()} << 0 << 0u;
        QTest::newRow("refused") << QList<TestMetadataService::Reply>{serviceReply("c='2'")} << 0
                                 << quint32(ServerCallFailureTextId);
        QTest::newRow("one file too few") << QList<TestMetadataService::Reply>() << -1
                                          << quint32(AutoLookupFileCountTextId);
        QTest::newRow("one file too many") << QList<TestMetadataService::Reply>() << 1
                                           << quint32(AutoLookupFileCountTextId);
    }

    void identify()
    {
        QFETCH(QList<TestMetadataService::Reply>, first);
        QFETCH(int, fileCountError);
        QFETCH(quint32, error);
        m_first = first;
        m_fileCountError = fileCountError;

        HeadlessMainWindow window;
        addFolders({m_dir.path()}, true);
        QList<AudioFile *> files = window.store()->loadedFiles().values();
        QCOMPARE(files.size(), m_paths.size());
        std::sort(files.begin(), files.end(), audioFilePathLessThan);
        QList<QByteArray> before;
        for (const QString &path : std::as_const(m_paths))
            before.append(contents(path));

        AudioFileSelection selection(window.model());
        selection.insert(files, dataTypesOfCategories({ModelDataType::CategoryTagItem}));
        BufferedLogger log;
        auto *thread = new IdMainHandlerThread(selection, &window);
        QVERIFY(runProgressThread(thread, true));
        ModelUpdateOperation *operation = thread->takeResult(&window);
        for (int i = 0; i < m_paths.size(); ++i)
            QCOMPARE(contents(m_paths.at(i)), before.at(i));
        if (error) {
            QVERIFY(!operation);
            QVERIFY(log.containsCode(error));
            QVERIFY(log.containsCode(IdentificationFailedTextId));
            return;
        }
        QVERIFY(operation);
        QCOMPARE(operation->thread(), QThread::currentThread());
        // One lookup per folder: each folder's files are one album.
        QCOMPARE(m_answered, 2);

        // Which call answered which folder follows the folders' path order.
        const QStringList folders{"Harbour/Low Tide", "Lumens - Quiet Hours (2001)"};
        QHash<AudioFile *, QString> originalTitles;
        for (AudioFile *file : std::as_const(files)) {
            const QString relative = QDir(m_dir.path()).relativeFilePath(file->filePath());
            const int call = relative.startsWith(folders.at(0)) ? 1 : 2;
            const AudioTag *working = operation->tagCopies().value(file).working;
            QVERIFY2(working, qPrintable(relative));
            // Made in the worker, handed over with the operation.
            QCOMPARE(working->thread(), QThread::currentThread());
            QCOMPARE(itemText(working, TagItemType::Artist), QStringLiteral("Service Artist %1").arg(call));
            QCOMPARE(itemText(working, TagItemType::Album), QStringLiteral("Service Album %1").arg(call));
            // Re-capitalised by the identification's style: compared without case.
            QVERIFY(itemText(working, TagItemType::Title).endsWith(QStringLiteral(" of call %1").arg(call), Qt::CaseInsensitive));
            originalTitles.insert(file, itemText(file->tags().value(0), TagItemType::Title));
        }
        // The one title the files had of their own is among what undoing must bring back.
        QVERIFY(originalTitles.values().contains(QStringLiteral("morning light")));

        // Applied through the undo queue, the files take the working tags; undone, they are as
        // they were; still nothing is on disk.
        window.operationQueue()->apply(operation);
        for (AudioFile *file : std::as_const(files))
            QVERIFY(itemText(file->tags().value(0), TagItemType::Artist).startsWith("Service Artist"));
        window.operationQueue()->undo();
        for (AudioFile *file : std::as_const(files)) {
            QCOMPARE(itemText(file->tags().value(0), TagItemType::Title), originalTitles.value(file));
            QCOMPARE(itemText(file->tags().value(0), TagItemType::Artist), QString());
        }
        for (int i = 0; i < m_paths.size(); ++i)
            QCOMPARE(contents(m_paths.at(i)), before.at(i));
    }

private:
    QTemporaryDir m_dir;
    QStringList m_paths;
    TestMetadataService *m_service = nullptr;
    QMutex m_mutex;
    QList<TestMetadataService::Reply> m_first;
    int m_answered = 0;
    int m_fileCountError = 0;
};

QTEST_MAIN(TestIdentification)
#include "tst_identification.moc"
