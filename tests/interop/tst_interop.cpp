// One table of tag values written to every format a Debian tool can make: the tool's own tags
// read by us, ours read back by mutagen and ffprobe, the audio untouched, a second save a no-op.
// A new format is a new row of formatRows().

#include <QtTest>

#include "libcore/image/codedimage.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/model/artworktagitem.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/commenttagitem.h"
#include "libtagging/model/plaintagitems.h"
#include "libtagging/model/taginfo.h"
#include "support_interop.h"

#include <QTemporaryDir>

using namespace interop;

namespace {

enum Field { Title, Album, Artists, Comment, Track, Disc, Date, Cover };
const QList<Field> allFields{Title, Album, Artists, Comment, Track, Disc, Date, Cover};

QString fieldName(Field field)
{
    static const char *const names[] = {"title", "album", "artists", "comment", "track", "disc", "date", "cover"};
    return QString::fromLatin1(names[field]);
}

using Values = QMap<Field, QStringList>;

// The picture the tools put in; ours is another, so a kept old picture shows.
const QByteArray &toolCover()
{
    static const QByteArray bytes = pngImage(1);
    return bytes;
}

const QByteArray &tableCover()
{
    static const QByteArray bytes = pngImage(2);
    return bytes;
}

// The values we write into every format.
Values tableValues()
{
    return {
        {Title, {QStringLiteral("Plain ASCII title")}},
        {Album, {QString::fromUtf8("Caf\u00e9 M\u00fcller: \u00d1and\u00fa a\u00f1os")}},
        {Artists, {QString::fromUtf8("\u5742\u672c\u9f8d\u4e00"), QStringLiteral("Ana Torroja")}},
        {Comment, {QString::fromUtf8("Loud \U0001F3B5 and proud \U0001F600")}},
        {Track, {QStringLiteral("3/12")}},
        {Disc, {QStringLiteral("1/2")}},
        {Date, {QStringLiteral("2024-05-17")}},
        {Cover, {pictureKey(tableCover())}},
    };
}

// The values the tools write, plain ASCII so that every tool can take them.
Values toolValues()
{
    return {
        {Title, {QStringLiteral("Tool title")}},
        {Album, {QStringLiteral("Tool album")}},
        {Artists, {QStringLiteral("Tool artist")}},
        {Track, {QStringLiteral("5/9")}},
        {Date, {QStringLiteral("2021")}},
        {Cover, {pictureKey(toolCover())}},
    };
}

// What a format does with a value it cannot hold as given.
enum class Reduction { Dropped, NumberOnly, YearOnly, FirstOnly };

struct Limit
{
    Field field;
    Reduction how;
    const char *reason;
};

QStringList reduce(const QStringList &values, Reduction how)
{
    QStringList result;
    switch (how) {
    case Reduction::Dropped:
        break;
    case Reduction::NumberOnly:
        for (const QString &value : values)
            result.append(value.section(QLatin1Char('/'), 0, 0));
        break;
    case Reduction::YearOnly:
        for (const QString &value : values)
            result.append(value.left(4));
        break;
    case Reduction::FirstOnly:
        result = values.mid(0, 1);
        break;
    }
    return result;
}

Values held(Values values, const QList<Limit> &limits)
{
    for (const Limit &limit : limits)
        values[limit.field] = reduce(values.value(limit.field), limit.how);
    return values;
}

// How mutagen and ffprobe present the tags a row writes.
enum class Family { Id3, Id3v1, Ape, FlacVorbis, OggVorbis, Mp4, RiffInfo, Asf };

QStringList one(const Values &v, Field field)
{
    return v.value(field).mid(0, 1);
}

QString first(const Values &v, Field field)
{
    return v.value(field).value(0);
}

// What mutagen must show, under its own key names; keys with an empty list must be absent.
QMap<QString, QStringList> mutagenExpected(Family family, const Values &v)
{
    switch (family) {
    case Family::Id3:
        return {{"TIT2", v[Title]},      {"TALB", v[Album]}, {"TPE1", one(v, Artists)},
                {"TXXX:Artists", v[Artists]}, {"COMM::XXX", v[Comment]}, {"TRCK", v[Track]},
                {"TPOS", v[Disc]},       {"TDRC", v[Date]},  {"APIC:", v[Cover]}};
    case Family::Id3v1:
        return {{"TIT2", v[Title]}, {"TALB", v[Album]}, {"TPE1", one(v, Artists)}, {"TRCK", v[Track]},
                {"TDRC", v[Date]}};
    case Family::Ape:
        return {{"Title", v[Title]},   {"Album", v[Album]}, {"Artist", one(v, Artists)},
                {"Artists", v[Artists]}, {"Comment", v[Comment]}, {"Track", v[Track]},
                {"Disc", v[Disc]},     {"Year", v[Date]},   {"Cover Art (Front)", v[Cover]}};
    case Family::FlacVorbis:
    case Family::OggVorbis: {
        QMap<QString, QStringList> m{{"title", v[Title]},
                                     {"album", v[Album]},
                                     {"artist", one(v, Artists)},
                                     {"artists", v[Artists]},
                                     {"comment", v[Comment]},
                                     {"tracknumber", reduce(v[Track], Reduction::NumberOnly)},
                                     {"tracktotal", {v[Track].value(0).section('/', 1)}},
                                     {"discnumber", reduce(v[Disc], Reduction::NumberOnly)},
                                     {"disctotal", {v[Disc].value(0).section('/', 1)}},
                                     {"date", v[Date]}};
        m.insert(family == Family::FlacVorbis ? "pictures" : "metadata_block_picture", v[Cover]);
        return m;
    }
    case Family::Mp4:
        return {{"\u00a9nam", v[Title]},   {"\u00a9alb", v[Album]}, {"\u00a9ART", one(v, Artists)},
                {"----:com.apple.iTunes:ARTISTS", v[Artists]}, {"\u00a9cmt", v[Comment]},
                {"trkn", v[Track]},        {"disk", v[Disc]},       {"\u00a9day", v[Date]},
                {"covr", v[Cover]}};
    case Family::Asf:
        return {{"Title", v[Title]},          {"WM/AlbumTitle", v[Album]}, {"Author", one(v, Artists)},
                {"Description", v[Comment]}, {"WM/TrackNumber", reduce(v[Track], Reduction::NumberOnly)},
                {"WM/PartOfSet", v[Disc]},   {"WM/Year", v[Date]},        {"WM/Picture", v[Cover]}};
    case Family::RiffInfo:
        return {};
    }
    return {};
}

// What ffprobe must show: ffmpeg's generic tag names; an empty text means absent.
QMap<QString, QString> probeExpected(Family family, const Values &v)
{
    QMap<QString, QString> m{{"title", first(v, Title)},     {"album", first(v, Album)},
                             {"artist", first(v, Artists)}, {"comment", first(v, Comment)},
                             {"track", first(v, Track)},     {"disc", first(v, Disc)},
                             {"date", first(v, Date)}};
    if (family == Family::FlacVorbis || family == Family::OggVorbis) {
        m["track"] = v[Track].value(0).section('/', 0, 0);
        m["disc"] = v[Disc].value(0).section('/', 0, 0);
    }
    return m;
}

struct FormatRow
{
    const char *name;
    const char *suffix;
    // Commands run in order; {src}, {speech}, {cover} and {out} are replaced by paths.
    QList<QStringList> make;
    // The tool's values (toolValues) that we must read from the file it made.
    QList<Field> toolFields;
    // The tag types we write and remove; empty for the file type's defaults.
    QList<TagTypeOption> written;
    int id3v2Version;
    Family family;
    MutagenView view;
    // Values the format cannot hold as given, with the reason.
    QList<Limit> limits;
};

TagTypeOption write(int tagType)
{
    return {tagType, TagTypeMode::Write};
}

TagTypeOption remove(int tagType)
{
    return {tagType, TagTypeMode::Remove};
}

// Mutagen as the tagging tool where the encoder writes no tags of the kind the row checks.
const char *const mutagenApeScript = R"PY(
import sys
from mutagen.apev2 import APEv2
t = APEv2()
t['Title'] = 'Tool title'; t['Artist'] = 'Tool artist'; t['Album'] = 'Tool album'
t['Track'] = '5/9'; t['Year'] = '2021'
t.save(sys.argv[1])
)PY";

const char *const mutagenWaveId3Script = R"PY(
import sys
from mutagen.wave import WAVE
from mutagen.id3 import TIT2, TPE1, TALB, TRCK, TDRC, APIC
f = WAVE(sys.argv[1])
f.add_tags()
for frame in (TIT2(encoding=3, text='Tool title'), TPE1(encoding=3, text='Tool artist'),
              TALB(encoding=3, text='Tool album'), TRCK(encoding=3, text='5/9'), TDRC(encoding=3, text='2021'),
              APIC(encoding=3, mime='image/png', type=3, desc='', data=open(sys.argv[2], 'rb').read())):
    f.tags.add(frame)
f.save()
)PY";

QStringList ffmpegTags()
{
    return {"-metadata", "title=Tool title", "-metadata", "artist=Tool artist", "-metadata", "album=Tool album",
            "-metadata", "track=5/9",        "-metadata", "date=2021"};
}

QStringList ffmpegWithCover(const QStringList &codec)
{
    return QStringList{"ffmpeg", "-v", "error", "-i", "{src}", "-i", "{cover}", "-map", "0:a", "-map", "1:v"} + codec
           + QStringList{"-c:v", "copy", "-disposition:v", "attached_pic"} + ffmpegTags() + QStringList{"{out}"};
}

QStringList ffmpegPlain(const QStringList &codec)
{
    return QStringList{"ffmpeg", "-v", "error", "-i", "{src}"} + codec + ffmpegTags() + QStringList{"{out}"};
}

QStringList flacTags()
{
    return {"-T", "TITLE=Tool title", "-T", "ARTIST=Tool artist", "-T", "ALBUM=Tool album", "-T", "TRACKNUMBER=5",
            "-T", "TRACKTOTAL=9",     "-T", "DATE=2021",          "--picture={cover}"};
}

const QList<Field> basicToolFields{Title, Artists, Album, Track, Date};

const char *const id3v1Latin1 = "ID3v1 fields are Latin-1";

QList<FormatRow> formatRows()
{
    using namespace TagType;
    const QList<Field> withCover = basicToolFields + QList<Field>{Cover};
    const QList<Limit> id3v1Limits{
        {Track, Reduction::NumberOnly, "ID3v1.1 keeps the track number in one byte, no count"},
        {Disc, Reduction::Dropped, "ID3v1 has no disc field"},
        {Date, Reduction::YearOnly, "ID3v1 keeps a four-digit year"},
        {Cover, Reduction::Dropped, "ID3v1 holds no pictures"},
        {Artists, Reduction::FirstOnly, "ID3v1 has one artist field"},
    };
    return {
        {"mp3 id3v2.3",
         "mp3",
         {{"lame", "--silent", "--tt", "Tool title", "--ta", "Tool artist", "--tl", "Tool album", "--tn", "5/9", "--ty",
           "2021", "--ti", "{cover}", "{src}", "{out}"}},
         withCover,
         {},
         3,
         Family::Id3,
         MutagenView::File,
         {}},
        {"mp3 id3v2.4",
         "mp3",
         {ffmpegWithCover({"-c:a", "libmp3lame", "-id3v2_version", "4"})},
         withCover,
         {write(Id3v2), remove(Id3v1)},
         4,
         Family::Id3,
         MutagenView::File,
         {}},
        {"mp3 ape",
         "mp3",
         {{"lame", "--silent", "{src}", "{out}"}, {python, "-c", mutagenApeScript, "{out}"}},
         basicToolFields,
         {write(Ape), remove(Id3v1), remove(Id3v2)},
         0,
         Family::Ape,
         MutagenView::Ape,
         {}},
        {"mp3 id3v1",
         "mp3",
         {{"lame", "--silent", "--id3v1-only", "--tt", "Tool title", "--ta", "Tool artist", "--tl", "Tool album",
           "--tn", "5", "--ty", "2021", "{src}", "{out}"}},
         basicToolFields,
         {write(Id3v1), remove(Id3v2)},
         0,
         Family::Id3v1,
         MutagenView::File,
         id3v1Limits},
        {"flac",
         "flac",
         {QStringList{"flac", "-s"} + flacTags() + QStringList{"-o", "{out}", "{src}"}},
         withCover,
         {},
         0,
         Family::FlacVorbis,
         MutagenView::File,
         {}},
        {"ogg flac",
         "oga",
         {QStringList{"flac", "-s", "--ogg"} + flacTags() + QStringList{"-o", "{out}", "{src}"}},
         withCover,
         {},
         0,
         Family::OggVorbis,
         MutagenView::File,
         {}},
        {"ogg vorbis",
         "ogg",
         {{"oggenc", "-Q", "-t", "Tool title", "-a", "Tool artist", "-l", "Tool album", "-N", "5", "-c", "TRACKTOTAL=9",
           "-d", "2021", "-o", "{out}", "{src}"}},
         basicToolFields,
         {},
         0,
         Family::OggVorbis,
         MutagenView::File,
         {}},
        {"opus",
         "opus",
         {{"opusenc", "--quiet", "--title", "Tool title", "--artist", "Tool artist", "--album", "Tool album",
           "--tracknumber", "5", "--comment", "TRACKTOTAL=9", "--date", "2021", "--picture", "{cover}", "{src}",
           "{out}"}},
         withCover,
         {},
         0,
         Family::OggVorbis,
         MutagenView::File,
         {}},
        // speexenc's --author fills AUTHOR, which names the lyricist, so the artist goes in by name.
        {"speex",
         "spx",
         {{"speexenc", "--title", "Tool title", "--comment", "ARTIST=Tool artist", "--comment", "ALBUM=Tool album",
           "--comment", "TRACKNUMBER=5", "--comment", "TRACKTOTAL=9", "--comment", "DATE=2021", "{speech}", "{out}"}},
         basicToolFields,
         {},
         0,
         Family::OggVorbis,
         MutagenView::File,
         {}},
        {"m4a aac", "m4a", {ffmpegWithCover({"-c:a", "aac"})}, withCover, {}, 0, Family::Mp4, MutagenView::File, {}},
        {"m4a alac", "m4a", {ffmpegWithCover({"-c:a", "alac"})}, withCover, {}, 0, Family::Mp4, MutagenView::File, {}},
        {"wave riff info",
         "wav",
         {ffmpegPlain({"-c:a", "pcm_s16le"})},
         basicToolFields,
         {write(RiffInfo), remove(Id3v2)},
         0,
         Family::RiffInfo,
         MutagenView::File,
         {{Cover, Reduction::Dropped, "RIFF INFO holds no pictures"}}},
        {"wave id3",
         "wav",
         {{"ffmpeg", "-v", "error", "-i", "{src}", "-c:a", "pcm_s16le", "{out}"},
          {python, "-c", mutagenWaveId3Script, "{out}", "{cover}"}},
         withCover,
         {},
         3,
         Family::Id3,
         MutagenView::File,
         {}},
        {"aiff",
         "aiff",
         {ffmpegPlain({"-c:a", "pcm_s16be", "-write_id3v2", "1"})},
         basicToolFields,
         {},
         3,
         Family::Id3,
         MutagenView::File,
         {}},
        {"wavpack",
         "wv",
         {{"wavpack", "-q", "-w", "Title=Tool title", "-w", "Artist=Tool artist", "-w", "Album=Tool album", "-w",
           "Track=5/9", "-w", "Year=2021", "--write-binary-tag", "Cover Art (Front)=@{cover}", "{src}", "-o", "{out}"}},
         withCover,
         {},
         0,
         Family::Ape,
         MutagenView::File,
         {}},
        {"musepack",
         "mpc",
         {{"mpcenc", "--silent", "--tag", "Title=Tool title", "--tag", "Artist=Tool artist", "--tag", "Album=Tool album",
           "--tag", "Track=5/9", "--tag", "Year=2021", "{src}", "{out}"}},
         basicToolFields,
         {},
         0,
         Family::Ape,
         MutagenView::File,
         {}},
        // ffmpeg puts an APE tag behind TrueAudio; ours are ID3 tags, and the APE tag goes.
        {"trueaudio",
         "tta",
         {ffmpegPlain({"-c:a", "tta"})},
         basicToolFields,
         {},
         3,
         Family::Id3,
         MutagenView::File,
         {}},
    };
}

QStringList expand(const QStringList &command, const QMap<QString, QString> &paths)
{
    QStringList result;
    for (QString part : command) {
        for (auto it = paths.begin(); it != paths.end(); ++it)
            part.replace(it.key(), it.value());
        result.append(part);
    }
    return result;
}

// The table's values as our merged tag holds them.
Values readValues(const AudioTag *tag)
{
    using namespace TagItemType;
    Values v;
    v[Field::Title] = tag->itemTexts(TagItemType::Title);
    v[Field::Album] = tag->itemTexts(TagItemType::Album);
    v[Field::Artists] = tag->itemTexts(Artist);
    v[Field::Comment] = tag->itemTexts(TagItemType::Comment);
    v[Field::Track] = tag->numberPairTexts(TrackNumber, TrackCount);
    v[Field::Disc] = tag->numberPairTexts(DiscNumber, DiscCount);
    v[Field::Date] = tag->itemTexts(ReleaseDate, QStringLiteral("yyyy-MM-dd"));
    for (const ArtworkTagItem *item : tag->artworkOfPictureType(ArtworkTagItem::FrontCover))
        v[Field::Cover].append(pictureKey(item->image().data));
    return v;
}

// Replaces the items of the table's types, as an edit in the program does.
void applyTable(AudioTag *tag)
{
    using namespace TagItemType;
    const Values v = tableValues();
    for (int type : {int(TagItemType::Title), int(TagItemType::Album), int(Artist), int(TagItemType::Comment),
                     int(TrackNumber), int(TrackCount), int(DiscNumber), int(DiscCount), int(ReleaseDate),
                     int(ArtworkTagItem::Type)})
        tag->removeItems(type);
    tag->addItem(new TitleTagItem(v[Field::Title].first()));
    tag->addItem(new AlbumTagItem(v[Field::Album].first()));
    for (const QString &artist : v[Field::Artists])
        tag->addItem(new ArtistTagItem(artist));
    tag->addItem(new CommentTagItem(v[Field::Comment].first(), QString()));
    tag->addNumberPair(v[Field::Track].first(), TrackNumber, TrackCount);
    tag->addNumberPair(v[Field::Disc].first(), DiscNumber, DiscCount);
    tag->addItem(new ReleaseDateTagItem(PartialDateTime(2024, 5, 17)));
    tag->addItem(new ArtworkTagItem(CodedImage(tableCover()), ArtworkTagItem::FrontCover, QString()));
}

TaggingSettings settingsFor(const FormatRow &row, int fileType)
{
    TaggingSettings settings;
    if (!row.written.isEmpty())
        settings.writtenTagTypes[fileType] = row.written;
    if (row.id3v2Version)
        settings.id3v2.version = row.id3v2Version;
    return settings;
}

QStringList compareValues(const QString &what, const Values &expected, const Values &actual, const QList<Field> &fields)
{
    QStringList problems;
    for (Field field : fields) {
        if (expected.value(field) != actual.value(field))
            problems.append(QStringLiteral("%1 %2: expected [%3], got [%4]")
                                .arg(what, fieldName(field), expected.value(field).join(" | "),
                                     actual.value(field).join(" | ")));
    }
    return problems;
}

QString describe(const QMap<QString, QStringList> &tags)
{
    QStringList lines;
    for (auto it = tags.begin(); it != tags.end(); ++it)
        lines.append(it.key() + QStringLiteral("=") + it.value().join(" | "));
    return lines.join(QStringLiteral("; "));
}

} // namespace

class TestInterop : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_source;
    QString m_speech;
    QString m_cover;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (!hasTool(QStringLiteral("ffmpeg")) || !hasTool(QStringLiteral("ffprobe")))
            QSKIP("ffmpeg is not installed (scripts/setup installs it): no files to test with");
        m_source = m_dir.filePath(QStringLiteral("source.wav"));
        m_speech = m_dir.filePath(QStringLiteral("speech.wav"));
        // Away from the audio files: a picture beside them would join their tags as folder artwork.
        m_cover = m_dir.filePath(QStringLiteral("cover.png"));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("files")));
        if (qEnvironmentVariableIsSet("MELO_KEEP_INTEROP_FILES")) {
            m_dir.setAutoRemove(false);
            qInfo() << "files kept in" << m_dir.path();
        }
        QVERIFY(run("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "sine=frequency=440:duration=0.5", "-ac", "2", "-ar",
                               "44100", m_source}));
        QVERIFY(run("ffmpeg", {"-v", "error", "-i", m_source, "-ac", "1", "-ar", "16000", m_speech}));
        QFile cover(m_cover);
        QVERIFY(cover.open(QIODevice::WriteOnly));
        cover.write(toolCover());
    }

    void formats_data()
    {
        QTest::addColumn<int>("index");
        const QList<FormatRow> rows = formatRows();
        for (int i = 0; i < rows.size(); ++i)
            QTest::newRow(rows[i].name) << i;
    }

    void formats()
    {
        QFETCH(int, index);
        const FormatRow row = formatRows().at(index);

        for (const QStringList &command : row.make) {
            if (command.first() == python ? !hasMutagen() : !hasTool(command.first()))
                QSKIP(qPrintable(QStringLiteral("%1 is not installed (scripts/setup installs it)").arg(command.first())));
        }
        if (!hasMutagen())
            QSKIP("python3-mutagen is not installed (scripts/setup installs it)");

        const QString path = m_dir.filePath(QStringLiteral("files/%1.%2").arg(QString::fromLatin1(row.name).replace(' ', '-'),
                                                                        QString::fromLatin1(row.suffix)));
        const QMap<QString, QString> paths{
            {"{src}", m_source}, {"{speech}", m_speech}, {"{cover}", m_cover}, {"{out}", path}};
        for (const QStringList &command : row.make) {
            const QStringList full = expand(command, paths);
            QByteArray errors;
            QVERIFY2(run(full.first(), full.mid(1), nullptr, &errors),
                     qPrintable(full.first() + QStringLiteral(" failed: ") + QString::fromUtf8(errors)));
        }
        const QString md5 = audioMd5(path);
        QVERIFY2(md5.startsWith(QLatin1String("MD5=")), qPrintable(md5));

        // The tool's tags, read by us.
        QStringList problems;
        TaggingSettings settings;
        {
            AudioFile file(path);
            file.readTags(0, true);
            problems += compareValues(QStringLiteral("tool tags read by us:"), held(toolValues(), row.limits),
                                      readValues(file.tag(0)), row.toolFields);
            settings = settingsFor(row, file.fileType());
            applyTable(file.tag(0));
            file.taggingSettings = settings;
            file.writeTags(0);
        }
        const Values expected = held(tableValues(), row.limits);

        // Ours, read back by us, by mutagen and by ffprobe.
        {
            AudioFile file(path);
            file.readTags(0, true);
            problems += compareValues(QStringLiteral("ours read by us:"), expected, readValues(file.tag(0)), allFields);
        }
        const QMap<QString, QStringList> mutagen = mutagenTags(path, row.view);
        const QMap<QString, QStringList> mutagenWanted = mutagenExpected(row.family, expected);
        for (auto it = mutagenWanted.begin(); it != mutagenWanted.end(); ++it) {
            if (mutagen.value(it.key()) != it.value())
                problems.append(QStringLiteral("mutagen %1: expected [%2], got [%3]")
                                    .arg(it.key(), it.value().join(" | "), mutagen.value(it.key()).join(" | ")));
        }
        const ProbeResult probe = ffprobe(path);
        if (!probe.ok)
            problems.append(QStringLiteral("ffprobe failed"));
        const QMap<QString, QString> probeWanted = probeExpected(row.family, expected);
        for (auto it = probeWanted.begin(); it != probeWanted.end(); ++it) {
            if (probe.tags.value(it.key()) != it.value())
                problems.append(QStringLiteral("ffprobe %1: expected [%2], got [%3]")
                                    .arg(it.key(), it.value(), probe.tags.value(it.key())));
        }
        const int pictures = expected.value(Cover).size();
        if (probe.attachedPictures != pictures)
            problems.append(QStringLiteral("ffprobe pictures: expected %1, got %2").arg(pictures).arg(probe.attachedPictures));

        // The audio is untouched, and a save without a change is a no-op.
        const QString md5After = audioMd5(path);
        if (md5After != md5)
            problems.append(QStringLiteral("audio changed: %1 -> %2").arg(md5, md5After));
        const QByteArray saved = fileBytes(path);
        {
            AudioFile file(path);
            file.readTags(0, true);
            file.taggingSettings = settings;
            file.taggingSettings.updateTaggingDate = false;
            file.writeTags(0);
        }
        if (fileBytes(path) != saved)
            problems.append(QStringLiteral("a second save without change altered the file"));

        if (!problems.isEmpty())
            qWarning().noquote() << "mutagen:" << describe(mutagen) << "\nffprobe:" << probe.tags;
        QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("\n  ") + problems.join(QStringLiteral("\n  "))));
    }
};

QTEST_GUILESS_MAIN(TestInterop)
#include "tst_interop.moc"
