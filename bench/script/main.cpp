#include <cstdio>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <memory>
#include <vector>

#include "app/tagscript/tagscript.h"
#include "app/tagscript/tsexpression.h"
#include "bench/benchoptions.h"
#include "libcore/log/exception.h"
#include "libcore/text/formatting.h"
#include "libcore/text/resourcepackage.h"
#include "app/shell/applicationresources.h"
#include "libcore/text/texttable.h"
#include "libcore/util/partialdatetime.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/taginfo.h"

// script [--files N] [--passes N]
// Parses one naming pattern once and evaluates it in file-name mode for the tags of N files
// (10,000 by default) held in memory, as renaming or a library's target computation does; see
// README, "Performance". The best of the passes counts.
namespace {
const quint32 Usage = 3995837573u;

// A typical library layout: album artist (or artist) folder, year and album folder, disc
// and zero-padded track number, artist and title.
const char *const Pattern =
    "$if2(%albumartist%,%artist%)/[%year% - ]%album%/[%discnumber%-]$num(%track%,2) - %artist% - %title%";

// Tags of varied length and content: every third file has an album artist, every fifth a
// disc number, every seventh no year; some values carry characters a file name can't hold.
std::unique_ptr<AudioFile> makeFile(int i)
{
    const int album = i / 12;
    auto file = std::make_unique<AudioFile>(QStringLiteral("/music/%1/%2.mp3").arg(album).arg(i));
    auto *tag = new AudioTag;
    tag->addItemValue(TagItemType::Artist, QStringLiteral("Artist %1 & The Band/Ensemble").arg(album % 97));
    if (i % 3 == 0)
        tag->addItemValue(TagItemType::AlbumArtist, QStringLiteral("Various Artists"));
    tag->addItemValue(TagItemType::Album, QStringLiteral("Album Number %1: Live at the Apollo").arg(album));
    tag->addItemValue(TagItemType::Title, QStringLiteral("Song %1 (Extended Mix) \u00e9t\u00e9").arg(i));
    tag->addItemValue(TagItemType::TrackNumber, i % 12 + 1);
    tag->addItemValue(TagItemType::TrackCount, 12);
    if (i % 5 == 0)
        tag->addItemValue(TagItemType::DiscNumber, 1 + i % 2);
    if (i % 7 != 0)
        tag->addItemValue(TagItemType::ReleaseDate, QVariant::fromValue(PartialDateTime(1960 + album % 60, 3, 7)));
    tag->addItemValue(TagItemType::Genre, QStringLiteral("Rock"));
    file->setTag(tag, TagType::Combined);
    return file;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    try {
        registerApplicationResources({QStringLiteral("bench_script.rcc")});
    } catch (const Exception &e) {
        return Bench::fail(e.message());
    }

    int fileCount = 10000;
    int passes = 5;
    QStringList arguments = application.arguments().mid(1);
    Bench::Expectations expected;
    if (!expected.take(arguments) || !readFilesAndPasses(arguments, fileCount, passes))
        return Bench::fail(textForId(Usage));

    std::vector<std::unique_ptr<AudioFile>> files;
    files.reserve(fileCount);
    for (int i = 0; i < fileCount; ++i)
        files.push_back(makeFile(i));

    try {
        QObject owner;
        TsExpression *script = parseTagScript(QString::fromLatin1(Pattern), &owner);
        std::printf("pattern: %s\nfiles: %d, passes: %d\n", Pattern, fileCount, passes);
        std::printf("example: %s\n", evaluateToFileName(script, files.front().get()).toUtf8().constData());
        double best = 0;
        qint64 units = 0; // keeps the results in use
        for (int pass = 0; pass < passes; ++pass) {
            QElapsedTimer timer;
            timer.start();
            for (const auto &file : files)
                units += evaluateToFileName(script, file.get()).size();
            const double seconds = double(timer.nsecsElapsed()) / 1e9;
            if (best == 0 || seconds < best)
                best = seconds;
        }
        std::printf("best pass: %.4f s, %.0f evaluations/s (%lld units)\n", best,
                    best > 0 ? double(fileCount) / best : 0.0, units);
        // The characters of every file name made in every pass: an empty or shortened
        // result shows.
        expected.check("units", double(units));
    } catch (const Exception &e) {
        return Bench::fail(e.message());
    }
    return expected.exitCode();
}
