#include <cstdio>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include "app/dialogs/findreplacequery.h"
#include "app/model/audiofilemodel.h"
#include "app/model/audiofilemodeldata.h"
#include "app/model/audiofileproxymodel.h"
#include "app/operations/modelupdateoperation.h"
#include "app/operations/operationqueue.h"
#include "app/search/searchhandler.h"
#include "app/search/searchquery.h"
#include "app/search/searchresult.h"
#include "bench/benchoptions.h"
#include "libcore/log/exception.h"
#include "libcore/text/formatting.h"
#include "libcore/text/resourcepackage.h"
#include "app/shell/applicationresources.h"
#include "libcore/text/texttable.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/taginfo.h"

// search [--files N] [--passes N]
// Loads N files (10,000 by default) held in memory into the file table with 20 columns and
// runs find all for a wildcard and for a regular expression over every cell, then replace
// all of the regular expression's matches as one update; see README, "Performance". Each
// find all is timed as the best of the passes. Last, the find and replace dialog's queries
// through the search handler: find all of a wildcard, then replace all of it with the update
// applied through the undo queue.
namespace {
const quint32 Usage = 2871410529u;

const QList<ModelDataType> &columns()
{
    using T = TagItemType::Id;
    static const QList<ModelDataType> types{
        ModelDataType(T::Title),          ModelDataType(T::Artist),      ModelDataType(T::Album),
        ModelDataType(T::AlbumArtist),    ModelDataType(T::Genre),       ModelDataType(T::Composer),
        ModelDataType(T::Conductor),      ModelDataType(T::Lyricist),    ModelDataType(T::RecordLabel),
        ModelDataType(T::Copyright),      ModelDataType(T::TrackNumber), ModelDataType(T::TrackCount),
        ModelDataType(T::DiscNumber),     ModelDataType(T::Subtitle),
        ModelDataType(FileProperty::fileName),   ModelDataType(FileProperty::fileNameWithoutSuffix),
        ModelDataType(FileProperty::fileSuffix), ModelDataType(FileProperty::folderPath),
        ModelDataType(FileProperty::folderName), ModelDataType(FileProperty::parentFolderName),
    };
    return types;
}

AudioFile *makeFile(int i)
{
    const int album = i / 12;
    auto *file = new AudioFile(QStringLiteral("/music/Artist %1/Album %2/%3.mp3").arg(album % 97).arg(album).arg(i));
    auto *tag = new AudioTag;
    using T = TagItemType::Id;
    tag->addItemValue(T::Title, QStringLiteral("Song %1 (Extended Mix) \u00e9t\u00e9").arg(i));
    tag->addItemValue(T::Artist, QStringLiteral("Artist %1 & The Band/Ensemble").arg(album % 97));
    tag->addItemValue(T::Album, QStringLiteral("Album Number %1: Live at the Apollo").arg(album));
    if (i % 3 == 0)
        tag->addItemValue(T::AlbumArtist, QStringLiteral("Various Artists"));
    tag->addItemValue(T::Genre, QStringLiteral("Rock"));
    tag->addItemValue(T::Composer, QStringLiteral("Composer %1").arg(i % 31));
    tag->addItemValue(T::Conductor, QStringLiteral("Conductor %1").arg(i % 17));
    tag->addItemValue(T::Lyricist, QStringLiteral("Lyricist %1").arg(i % 13));
    tag->addItemValue(T::RecordLabel, QStringLiteral("Label %1 Records").arg(album % 11));
    tag->addItemValue(T::Copyright, QStringLiteral("(C) %1 Label").arg(1960 + album % 60));
    tag->addItemValue(T::TrackNumber, i % 12 + 1);
    tag->addItemValue(T::TrackCount, 12);
    tag->addItemValue(T::DiscNumber, 1 + i % 2);
    tag->addItemValue(T::Subtitle, QStringLiteral("Live Version"));
    file->setTag(tag, TagType::Combined);
    return file;
}

// The best time of the passes of a find all; the number of matching cells.
double timeFindAll(SearchQuery &query, int passes, int *found)
{
    double best = 0;
    for (int pass = 0; pass < passes; ++pass) {
        QElapsedTimer timer;
        timer.start();
        *found = query.run();
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        if (best == 0 || seconds < best)
            best = seconds;
    }
    return best;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    try {
        registerApplicationResources({QStringLiteral("bench_search.rcc")});
    } catch (const Exception &e) {
        return Bench::fail(e.message());
    }

    int fileCount = 10000;
    int passes = 3;
    QStringList arguments = application.arguments().mid(1);
    Bench::Expectations expected;
    if (!expected.take(arguments) || !readFilesAndPasses(arguments, fileCount, passes))
        return Bench::fail(textForId(Usage));

    try {
        AudioFileModelData store;
        AudioFileModel model(&store);
        AudioFileProxyModel proxy(&model);
        model.setDataTypes(columns());
        QList<AudioFile *> files;
        files.reserve(fileCount);
        for (int i = 0; i < fileCount; ++i)
            files.append(makeFile(i));
        // Straight into the store: selecting 10,000 inserted rows in the proxy is a load of
        // its own, not the search's.
        store.addAudioFiles(files);

        const qint64 cells = qint64(fileCount) * columns().size();
        std::printf("files: %d, columns: %lld, cells: %lld, passes: %d\n", fileCount,
                    qint64(columns().size()), cells, passes);
        SearchScope scope(&proxy);
        scope.setAllFiles({});

        SearchQuery wildcard(SearchPattern(QStringLiteral("*Mix*"), SearchPattern::Wildcard, Qt::CaseInsensitive),
                             scope, ComparisonOperator::Contains);
        int found = 0;
        double seconds = timeFindAll(wildcard, passes, &found);
        std::printf("find all, wildcard '*Mix*': %d cells found, %.4f s, %.0f cells/s\n", found, seconds,
                    seconds > 0 ? double(cells) / seconds : 0.0);
        expected.check("wildcard-found", found);

        SearchQuery expression(SearchPattern(QStringLiteral("\\b(Live|Label) (\\w+)"), SearchPattern::RegularExpression,
                                             Qt::CaseSensitive),
                               scope, ComparisonOperator::Contains);
        expression.setReplacementText(QStringLiteral("\\2 \\1"));
        seconds = timeFindAll(expression, passes, &found);
        std::printf("find all, regular expression '\\b(Live|Label) (\\w+)': %d cells found, %.4f s, %.0f cells/s\n",
                    found, seconds, seconds > 0 ? double(cells) / seconds : 0.0);
        expected.check("expression-found", found);

        QElapsedTimer timer;
        timer.start();
        auto *update = new ModelUpdateOperation(AudioFileSelection(&proxy), &store);
        const int replaced = expression.replaceAll(update);
        update->apply();
        seconds = double(timer.nsecsElapsed()) / 1e9;
        std::printf("replace all: %d cells replaced, %.4f s, %.0f cells/s\n", replaced, seconds,
                    seconds > 0 ? double(replaced) / seconds : 0.0);
        expected.check("replaced", replaced);
        delete update;

        // The dialog's road: its options make the query, the handler finds and replaces.
        OperationQueue queue;
        SearchHandler handler(&proxy, &queue);
        FindReplaceOptions options;
        options.findText = QStringLiteral("*Extended Mix*");
        options.wildcards = true;
        options.replacementText = QStringLiteral("Radio Edit");
        double searchSeconds = 0;
        for (int pass = 0; pass < passes; ++pass) {
            handler.setQuery(options.buildQuery(&proxy, AudioFileSelection(&proxy), nullptr, nullptr));
            timer.start();
            found = handler.findAll();
            seconds = double(timer.nsecsElapsed()) / 1e9;
            if (searchSeconds == 0 || seconds < searchSeconds)
                searchSeconds = seconds;
        }
        std::printf("dialog query, find all '%s': %d cells found, %.4f s\n", qPrintable(options.findText), found,
                    searchSeconds);
        options.replaces = true;
        handler.setQuery(options.buildQuery(&proxy, AudioFileSelection(&proxy), nullptr, nullptr));
        timer.start();
        const int dialogReplaced = handler.replaceAll();
        seconds = double(timer.nsecsElapsed()) / 1e9;
        std::printf("dialog query, replace all with the update applied: %d cells replaced, %.4f s, %.2f x the "
                    "find all\n",
                    dialogReplaced, seconds, searchSeconds > 0 ? seconds / searchSeconds : 0.0);
    } catch (const Exception &e) {
        return Bench::fail(e.message());
    }
    return expected.exitCode();
}
