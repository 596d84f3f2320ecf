#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/identification/idartistname.h"
#include "app/identification/idmainhandlerthread.h"
#include "app/identification/idsegment.h"
#include "app/model/audiofileloading.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/modeldatatype.h"
#include "app/operations/modelupdateoperation.h"
#include "app/shell/headlessmainwindow.h"
#include "bench/benchoptions.h"
#include "libcore/log/exception.h"
#include "libcore/text/formatting.h"
#include "app/shell/applicationresources.h"
#include "libcore/text/texttable.h"
#include "libgui/progress/progressdialog.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/taggingsettings.h"

#include <cmath>
#include <memory>

// identify DIR | identify --make N [--keep DIR]   (--misses lists every value identified wrong)
// Identifies a library whose true values are known (DIR/truth.tsv), without the online stage,
// and prints per field the share of files identified with their true value, the files per
// second, and how the time grows when one folder's file count doubles. --make writes such a
// library of N files first, named and tagged the ways collections look. See README,
// "Performance".
namespace {
const quint32 Usage = 1840315273u;
const quint32 NoTruth = 2968061530u;
const quint32 NotMade = 1093867710u;
const quint32 RunFailed = 3409911282u;

const char TruthFile[] = "truth.tsv";
const char LibraryFolder[] = "library";
// The user's music folder while the benchmark runs: it sets HOME to the folder it works in.
const char MusicFolder[] = "Music";
const char MusicTruthFile[] = "music.tsv";

// Layouts beyond the first seven (0 to 6).
enum Layout { DiscFolders = 7, Compilation, SceneRelease, VersionTitles, NonLatin, Layouts };
const char GrowthFolder[] = "growth";

int fail(quint32 textId, const QStringList &arguments = {})
{
    const QString message = fillPlaceholders(textForId(textId), arguments);
    std::fprintf(stderr, "%s\n", upperCaseFirst(message).toLocal8Bit().constData());
    return 2;
}

struct Truth {
    QString artist;
    QString album;
    QString title;
    int track = 0;
    int disc = 0; // 0: the album has one disc, and nothing should say otherwise
    int year = 0; // 0: nothing in the names or tags shows it
};

// ---- making a library ----------------------------------------------------------------------

const char *const Adjectives[] = {"Quiet", "Paper", "Silver", "Northern", "Hollow", "Velvet", "Distant", "Golden",
                                  "Broken", "Electric", "Wild", "Gentle", "Crimson", "Lonely", "Bright", "Frozen"};
const char *const Nouns[] = {"Harbour", "Lanterns", "Rivers", "Engines", "Sparrows", "Mountains", "Gardens", "Signals",
                             "Voices", "Machines", "Islands", "Shadows", "Meadows", "Bridges", "Horses", "Clouds"};
const char *const Words[] = {"Morning", "Light", "Stone", "City", "Fire", "Wind", "Night", "River", "Blue", "Song",
                             "Winter", "Road", "Glass", "Heart", "Ocean", "Summer", "Dust", "Echo", "Rain", "Home"};

// Names in other scripts, each list the same length.
const char *const CyrillicWords[] = {"Тихий", "Северный", "Город", "Ветер", "Река", "Зима", "Свет", "Дорога"};
const char *const JapaneseWords[] = {"静かな", "北の", "街", "風", "川", "冬", "光", "道"};
const char *const VersionPhrases[] = {" (Radio Edit)", " (Acoustic Version)", " (Live)", " (Extended Mix)"};

template <typename T, size_t N>
QString pick(QRandomGenerator &random, const T (&list)[N])
{
    return QString::fromUtf8(list[random.bounded(int(N))]);
}

QString titleOf(QRandomGenerator &random)
{
    QStringList words{pick(random, Words)};
    const int count = 2 + random.bounded(3);
    while (words.size() < count) {
        const QString word = pick(random, Words);
        if (!words.contains(word))
            words.append(word);
    }
    return words.join(u' ');
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// One second of a tone, encoded by lame: the audio every file of the library shares.
bool makeSource(const QString &folder, QString *mp3)
{
    const int rate = 22050;
    QByteArray samples;
    for (int i = 0; i < rate; ++i) {
        const auto value = qint16(6000.0 * std::sin(2 * M_PI * 440.0 * i / rate));
        samples.append(char(value & 0xff)).append(char((value >> 8) & 0xff));
    }
    QByteArray wav("RIFF");
    const auto le32 = [](quint32 v) {
        QByteArray bytes;
        return bytes.append(char(v)).append(char(v >> 8)).append(char(v >> 16)).append(char(v >> 24));
    };
    const auto le16 = [](quint16 v) {
        QByteArray bytes;
        return bytes.append(char(v)).append(char(v >> 8));
    };
    wav += le32(quint32(36 + samples.size())) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(rate) +
           le32(rate * 2) + le16(2) + le16(16) + "data" + le32(quint32(samples.size())) + samples;
    const QString wavPath = folder + "/tone.wav";
    QFile file(wavPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size())
        return false;
    file.close();
    *mp3 = folder + "/tone.mp3";
    const int exitCode = QProcess::execute("lame", {"--quiet", "-b", "32", "-t", wavPath, *mp3});
    QFile::remove(wavPath);
    return exitCode == 0;
}

// Tags as a tagger would have left them; an empty value is left out.
void writeTags(const QString &path, const QList<QPair<int, QString>> &values)
{
    AudioFile file(path);
    file.taggingSettings = TaggingSettings::defaults();
    file.readTags(0);
    for (const auto &[type, value] : values) {
        if (!value.isEmpty())
            file.tag(0)->setItemValue(type, value);
    }
    file.writeTags(0);
}

class LibraryMaker
{
public:
    LibraryMaker(const QString &root, const QString &source) : m_root(root), m_source(source) {}

    // Albums in turn of twelve layouts until n files are made; returns the truth per relative path.
    QMap<QString, Truth> makeLibrary(int n)
    {
        QMap<QString, Truth> truth;
        QSet<QString> albumNames;
        QRandomGenerator random(20240104);
        for (int album = 0; int(truth.size()) < n; ++album) {
            const int layout = album % Layouts;
            QString artist = (album % 3 == 0 ? QStringLiteral("The ") : QString()) + pick(random, Adjectives) +
                             u' ' + pick(random, Nouns);
            QString albumName = pick(random, Adjectives) + u' ' + pick(random, Words) + u' ' + pick(random, Nouns);
            // Two albums of one name would share a folder in some layouts, and their tracks
            // a sequence: no collection holds that.
            while (albumNames.contains(albumName))
                albumName = pick(random, Adjectives) + u' ' + pick(random, Words) + u' ' + pick(random, Nouns);
            if (layout == NonLatin) {
                const bool cyrillic = album % 2 == 0;
                const auto word = [&] { return cyrillic ? pick(random, CyrillicWords) : pick(random, JapaneseWords); };
                const QString space = cyrillic ? QStringLiteral(" ") : QString();
                artist = word() + space + word();
                albumName = word() + space + word() + space + word();
            }
            albumNames.insert(albumName);
            const int year = 1970 + random.bounded(55);
            const int discs = layout == 4 || layout == 5 || layout == DiscFolders ? 2 : 1;
            const int perDisc = discs == 2 ? 5 : 8;
            for (int disc = 1; disc <= discs; ++disc) {
                for (int track = 1; track <= perDisc && int(truth.size()) < n; ++track) {
                    Truth t{artist, albumName, titleOf(random), track, discs == 2 ? disc : 0, 0};
                    QString path;
                    QList<QPair<int, QString>> tags;
                    const QString nn = twoDigits(track);
                    const QString yearFolder = QStringLiteral("%1 - %2 (%3)").arg(artist, albumName).arg(year);
                    const QString plainFolder = artist + u'/' + albumName;
                    const auto scene = [](QString text) { return text.toLower().replace(u' ', u'_'); };
                    switch (layout) {
                    case 0: // full tags, but one file without any
                        path = yearFolder + u'/' + nn + " - " + t.title;
                        if (track != 3)
                            tags = {{TagItemType::Artist, artist}, {TagItemType::Album, albumName},
                                    {TagItemType::Title, t.title}, {TagItemType::TrackNumber, QString::number(track)},
                                    {TagItemType::ReleaseDate, QString::number(year)}};
                        t.year = year;
                        break;
                    case 1: // no tags at all
                        path = plainFolder + u'/' + nn + ". " + artist + " - " + t.title;
                        break;
                    case 2: // the title alone
                        path = yearFolder + u'/' + artist + " - " + albumName + " - " + nn + " - " + t.title;
                        tags = {{TagItemType::Title, t.title}};
                        t.year = year;
                        break;
                    case 3: // lower case with underscores, and an album tag that is wrong
                        path = plainFolder + u'/' + nn + u'_' + t.title.toLower().replace(u' ', u'_');
                        tags = {{TagItemType::Album, QStringLiteral("Unknown Album")}};
                        break;
                    case 4: // discs as sub-folders
                        path = yearFolder + QStringLiteral("/CD%1/").arg(disc) + nn + " - " + t.title;
                        t.year = year;
                        break;
                    case 5: // discs in the track number, artist and album in the tags
                        path = plainFolder + QStringLiteral("/%1-").arg(disc) + nn + u' ' + t.title;
                        tags = {{TagItemType::Artist, artist}, {TagItemType::Album, albumName}};
                        break;
                    case DiscFolders: // "Disc N" and "CD N" sub-folders of an artist's album folder
                        path = plainFolder + (album % 2 ? QStringLiteral("/Disc %1/") : QStringLiteral("/CD %1/")).arg(disc) +
                               nn + " - " + t.title;
                        break;
                    case Compilation: // "NN. Artist - Title", a different artist on every track
                        t.artist = pick(random, Adjectives) + u' ' + pick(random, Nouns);
                        path = "Various Artists - " + albumName + u'/' + nn + ". " + t.artist + " - " + t.title;
                        break;
                    case SceneRelease: // "artist-album-year-group" with "NN-artist-title" files
                        path = QStringLiteral("%1-%2-%3-grp/").arg(scene(artist), scene(albumName)).arg(year) + nn + u'-' +
                               scene(artist) + u'-' + scene(t.title);
                        t.year = year;
                        break;
                    case VersionTitles: // every other title with a version phrase
                        if (track % 2 == 0)
                            t.title += QString::fromUtf8(VersionPhrases[random.bounded(int(std::size(VersionPhrases)))]);
                        path = yearFolder + u'/' + nn + " - " + t.title;
                        t.year = year;
                        break;
                    case NonLatin: // Cyrillic and Japanese names
                        path = plainFolder + u'/' + nn + " - " + t.title;
                        break;
                    default: // the names alone
                        path = yearFolder + u'/' + nn + " - " + t.title;
                        t.year = year;
                        break;
                    }
                    path += QStringLiteral(".mp3");
                    if (!copy(QString::fromLatin1(LibraryFolder) + u'/' + path, tags))
                        return {};
                    truth.insert(path, t);
                }
            }
        }
        return truth;
    }

    // The user's music folder holding a dozen "Artist - Album (Year)" folders of "NN - Title"
    // files: the music folder itself must not be read as the artist.
    QMap<QString, Truth> makeMusicFolder()
    {
        QMap<QString, Truth> truth;
        QRandomGenerator random(20260601);
        for (int album = 0; album < 12; ++album) {
            const QString artist = pick(random, Adjectives) + u' ' + pick(random, Nouns);
            const QString albumName = pick(random, Words) + u' ' + pick(random, Nouns);
            const int year = 1970 + random.bounded(55);
            for (int track = 1; track <= 6; ++track) {
                Truth t{artist, albumName, titleOf(random), track, 0, year};
                const QString path = QStringLiteral("%1 - %2 (%3)/").arg(artist, albumName).arg(year) + twoDigits(track) +
                                     " - " + t.title + ".mp3";
                if (!copy(QString::fromLatin1(MusicFolder) + u'/' + path, {}))
                    return {};
                truth.insert(path, t);
            }
        }
        return truth;
    }

    // One folder of n files of one album, "NNN - Title", tagged with the artist alone.
    bool makeFolder(const QString &relative, int n)
    {
        QRandomGenerator random{quint32(n)};
        for (int i = 1; i <= n; ++i) {
            const int width = qMax(2, int(QString::number(n).size()));
            const QString name = QStringLiteral("%1 - %2.mp3").arg(i, width, 10, QLatin1Char('0')).arg(titleOf(random));
            if (!copy(relative + u'/' + name, {{TagItemType::Artist, QStringLiteral("The Long Players")}}))
                return false;
        }
        return true;
    }

private:
    bool copy(const QString &relative, const QList<QPair<int, QString>> &tags)
    {
        const QString path = m_root + u'/' + relative;
        if (!QDir().mkpath(QFileInfo(path).path()) || !QFile::copy(m_source, path))
            return false;
        if (!tags.isEmpty())
            writeTags(path, tags);
        return true;
    }

    QString m_root;
    QString m_source;
};

bool saveTruth(const QString &path, const QMap<QString, Truth> &truth)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    for (auto it = truth.cbegin(); it != truth.cend(); ++it)
        out << it.key() << '\t' << it->artist << '\t' << it->album << '\t' << it->title << '\t' << it->track << '\t'
            << it->disc << '\t' << it->year << '\n';
    return true;
}

QMap<QString, Truth> loadTruth(const QString &path)
{
    QMap<QString, Truth> truth;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return truth;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(u'\t');
        if (fields.size() != 7)
            continue;
        truth.insert(fields.at(0), Truth{fields.at(1), fields.at(2), fields.at(3), fields.at(4).toInt(),
                                         fields.at(5).toInt(), fields.at(6).toInt()});
    }
    return truth;
}

// ---- identifying ---------------------------------------------------------------------------

struct Run {
    bool ok = false;
    double seconds = 0;
    int files = 0;
    QHash<QString, IdFileFindings> findings; // by absolute path
};

// Loads the folder into a fresh model as the program does and identifies all of it, timing
// the identification alone.
Run identifyFolder(const QString &folder)
{
    Run run;
    HeadlessMainWindow window;
    // A large load asks whether to go on; the benchmark does.
    window.answer = QMessageBox::Yes;
    addFolders({folder}, true);
    const QList<AudioFile *> files = window.store()->loadedFiles().values();
    run.files = int(files.size());
    if (files.isEmpty())
        return run;
    AudioFileSelection selection(window.model());
    selection.insert(files, dataTypesOfCategories({ModelDataType::CategoryTagItem}));
    auto thread = std::make_unique<IdMainHandlerThread>(selection);
    thread->setOnlineLookup(false);
    thread->setCollectsFindings(true);
    QElapsedTimer clock;
    clock.start();
    if (!runProgressThread(thread.get(), false)) {
        (void)thread.release(); // deletes itself once it ends
        return run;
    }
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    std::unique_ptr<ModelUpdateOperation> operation(thread->takeResult(nullptr));
    run.ok = operation != nullptr;
    for (auto it = thread->findings().cbegin(); it != thread->findings().cend(); ++it)
        run.findings.insert(it.key()->filePath(), it.value());
    return run;
}

int numberIn(const QVariant &value)
{
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    const QRegularExpressionMatch match = digits.match(value.toString());
    return match.hasMatch() ? match.captured().toInt() : 0;
}

int yearIn(const QVariant &value)
{
    static const QRegularExpression year(QStringLiteral("\\b(1[89]|20)\\d\\d\\b"));
    const QRegularExpressionMatch match = year.match(value.toString());
    return match.hasMatch() ? match.captured().toInt() : 0;
}

bool sameText(const QString &identified, const QString &truth)
{
    return identified.trimmed().compare(truth, Qt::CaseInsensitive) == 0;
}

void printAccuracy(const QString &root, const QMap<QString, Truth> &truth, const Run &run, bool misses,
                   Bench::Expectations *expected, const char *label = "")
{
    const char *const names[] = {"artist", "album", "title", "track", "disc", "year"};
    int right[6] = {};
    for (auto it = truth.cbegin(); it != truth.cend(); ++it) {
        const IdFileFindings found = run.findings.value(root + u'/' + it.key());
        const auto value = [&](int field) { return found.values.value(field); };
        const bool ok[6] = {
            sameText(IdArtistName::fromVariant(value(IdField::Artist)).toString(false), it->artist),
            sameText(value(IdField::Album).toString(), it->album),
            sameText(value(IdField::Title).toString(), it->title),
            numberIn(value(IdField::TrackNumber)) == it->track,
            numberIn(value(IdField::DiscNumber)) == it->disc,
            yearIn(value(IdField::ReleaseDate)) == it->year,
        };
        for (int i = 0; i < 6; ++i) {
            right[i] += ok[i] ? 1 : 0;
            if (!ok[i] && misses) {
                const int field = i + (i >= 4 ? 2 : 1) + (i == 5 ? 1 : 0);
                const QString got = field == IdField::Artist
                                        ? IdArtistName::fromVariant(value(field)).toString(false)
                                        : value(field).toString();
                std::printf("miss %s: %s: \"%s\"\n", names[i], qPrintable(it.key()), qPrintable(got));
            }
        }
    }
    const double n = double(qMax<qsizetype>(truth.size(), 1));
    std::printf("identified the true value (letter case aside) of %lld files%s:\n", qlonglong(truth.size()), label);
    for (int i = 0; i < 6; ++i)
        std::printf("  %-6s %5.1f%% (%d)\n", names[i], 100.0 * right[i] / n, right[i]);
    for (int i = 0; i < 6; ++i)
        if (expected)
            expected->check(qPrintable(QStringLiteral("%1-percent").arg(QLatin1String(names[i]))),
                            100.0 * right[i] / n);
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    try {
        registerApplicationResources({QStringLiteral("bench_identify.rcc")});
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", e.message().toLocal8Bit().constData());
        return 2;
    }

    QString folder;
    QString keep;
    int make = 0;
    bool misses = false;
    QStringList arguments = application.arguments().mid(1);
    Bench::Expectations expected;
    if (!expected.take(arguments))
        return fail(Usage);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        bool ok = true;
        if (argument == u"--make" && i + 1 < arguments.size())
            make = arguments.at(++i).toInt(&ok);
        else if (argument == u"--misses")
            misses = true;
        else if (argument == u"--keep" && i + 1 < arguments.size())
            keep = arguments.at(++i);
        else if (folder.isEmpty() && !argument.startsWith(u"--"))
            folder = argument;
        else
            ok = false;
        if (!ok || make < 0 || make > 100000)
            return fail(Usage);
    }
    if (folder.isEmpty() == (make == 0) || (!keep.isEmpty() && make == 0))
        return fail(Usage);

    QTemporaryDir temporary;
    if (make > 0) {
        folder = keep.isEmpty() ? temporary.path() : QDir(keep).absolutePath();
        QString source;
        if (!temporary.isValid() || !QDir().mkpath(folder) || !makeSource(temporary.path(), &source))
            return fail(NotMade, {folder, QStringLiteral("lame")});
        LibraryMaker maker(folder, source);
        const QMap<QString, Truth> truth = maker.makeLibrary(make);
        const QString growth = QString::fromLatin1(GrowthFolder);
        const QMap<QString, Truth> music = maker.makeMusicFolder();
        if (truth.size() != make || music.isEmpty() || !saveTruth(folder + u'/' + TruthFile, truth) ||
            !saveTruth(folder + u'/' + MusicTruthFile, music) ||
            !maker.makeFolder(growth + "/a", make) || !maker.makeFolder(growth + "/b", 2 * make))
            return fail(NotMade, {folder, QStringLiteral("copy")});
    }
    folder = QDir(folder).absolutePath();
    const QMap<QString, Truth> truth = loadTruth(folder + u'/' + TruthFile);
    if (truth.isEmpty())
        return fail(NoTruth, {folder});

    // The folder is the home of the run, so that its "Music" is the user's music folder (XDG's
    // user-dirs file is looked for under the home's configuration folder).
    qputenv("HOME", QFile::encodeName(folder));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder + "/.config"));

    const QString library = folder + u'/' + LibraryFolder;
    const Run run = identifyFolder(library);
    if (!run.ok)
        return fail(RunFailed, {library});
    printAccuracy(library, truth, run, misses, &expected);
    expected.check("files", run.files);
    const QMap<QString, Truth> musicTruth = loadTruth(folder + u'/' + MusicTruthFile);
    if (!musicTruth.isEmpty()) {
        const QString music = folder + u'/' + MusicFolder;
        const Run musicRun = identifyFolder(music);
        if (!musicRun.ok)
            return fail(RunFailed, {music});
        printAccuracy(music, musicTruth, musicRun, misses, nullptr, " in the music folder");
    }
    std::printf("%d files in %.3f s: %.0f files/s\n", run.files, run.seconds,
                run.seconds > 0 ? run.files / run.seconds : 0.0);

    const QString growth = folder + u'/' + GrowthFolder;
    if (QFileInfo::exists(growth + "/a") && QFileInfo::exists(growth + "/b")) {
        const Run small = identifyFolder(growth + "/a");
        const Run large = identifyFolder(growth + "/b");
        if (!small.ok || !large.ok)
            return fail(RunFailed, {growth});
        std::printf("one folder of %d files: %.3f s; of %d files: %.3f s; time grows %.2fx\n", small.files,
                    small.seconds, large.files, large.seconds, small.seconds > 0 ? large.seconds / small.seconds : 0.0);
    }
    return expected.exitCode();
}
