#include "app/identification/idwordlists.h"
#include "app/identification/identificationtextids.h"

#include "app/identification/idversionsignalphrase.h"
#include "app/identification/idword.h"
#include "libcore/io/wholefile.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/textcodec.h"

namespace {
// Function-local statics: the first caller loads the list, a second one arriving at the same
// time waits for it (C++ guarantees the one-time initialisation).
#define WORD_LIST(function, name)                                                                  \
    const QSet<QString> &function()                                                                \
    {                                                                                              \
        static const QSet<QString> list = loadWordList(QStringLiteral(":/app/data/" name ".csv")); \
        return list;                                                                               \
    }

WORD_LIST(articles, "articles")
WORD_LIST(commonWords, "commonWords")
WORD_LIST(trackNumberWords, "trackNumberWords")
WORD_LIST(numberBridgeWords, "numberBridgeWords")
WORD_LIST(discNumberWords, "discNumberWords")
WORD_LIST(numberSeparatorWords, "numberSeparatorWords")
WORD_LIST(invalidSingleWords, "invalidSingleWords")
WORD_LIST(invalidArtistWords, "invalidArtistWords")
WORD_LIST(invalidAlbumWords, "invalidAlbumWords")
WORD_LIST(invalidTitleWords, "invalidTitleWords")
WORD_LIST(invalidGeneralWords, "invalidGeneralWords")
WORD_LIST(invalidVariousArtistsWords, "invalidVariousArtistsWords")
WORD_LIST(invalidAdditionalWordList, "invalidAdditionalWords")
#undef WORD_LIST

// Lists with their code point lengths, for the suffix tests.
struct MeasuredEntry {
    QString text;
    int length;
};

QList<MeasuredEntry> measured(const QSet<QString> &list)
{
    QList<MeasuredEntry> entries;
    entries.reserve(list.size());
    for (const QString &entry : list)
        entries.append({entry, codePointLength(entry)});
    return entries;
}
} // namespace

QSet<QString> loadWordList(const QString &path)
{
    QString content;
    try {
        content = readTextFile(path, TextCodec::codecForMib(106));
    } catch (const Exception &) {
        Logger::error(WordListUnreadableTextId, {path});
        return {};
    }
    const QStringList lines = content.split(QLatin1Char('\n'));
    return QSet<QString>(lines.begin() + 1, lines.end());
}

void requireIdentificationTables()
{
    const struct {
        const QSet<QString> &(*list)();
        const char *name;
    } lists[] = {
        {articles, "articles"},
        {commonWords, "commonWords"},
        {trackNumberWords, "trackNumberWords"},
        {numberBridgeWords, "numberBridgeWords"},
        {discNumberWords, "discNumberWords"},
        {numberSeparatorWords, "numberSeparatorWords"},
        {invalidSingleWords, "invalidSingleWords"},
        {invalidArtistWords, "invalidArtistWords"},
        {invalidAlbumWords, "invalidAlbumWords"},
        {invalidTitleWords, "invalidTitleWords"},
        {invalidGeneralWords, "invalidGeneralWords"},
        {invalidVariousArtistsWords, "invalidVariousArtistsWords"},
        {invalidAdditionalWordList, "invalidAdditionalWords"},
    };
    for (const auto &entry : lists) {
        const QSet<QString> &list = entry.list();
        // A list read from an empty file holds only the empty entry.
        if (list.isEmpty() || (list.size() == 1 && list.contains(QString())))
            throw Exception(DataTableMissingTextId, {QStringLiteral(":/app/data/%1.csv").arg(QLatin1String(entry.name))});
    }
    if (loadVersionPhrases().isEmpty())
        throw Exception(DataTableMissingTextId, {QStringLiteral(":/app/data/versionPhrases.csv")});
}

bool isArticle(const QString &text)
{
    return articles().contains(text.toLower());
}

bool isCommonWord(const QString &text)
{
    return commonWords().contains(text.toLower());
}

bool isNumberBridgeWord(const QString &text)
{
    return numberBridgeWords().contains(text.toLower());
}

bool isDiscNumberWord(const QString &text)
{
    return discNumberWords().contains(text.toLower());
}

bool isNumberSeparatorWord(const QString &text)
{
    return numberSeparatorWords().contains(text.toLower());
}

const QSet<QString> &invalidAdditionalWords()
{
    return invalidAdditionalWordList();
}

bool endsWithTrackNumberWord(const QString &text)
{
    static const QList<MeasuredEntry> tracks = measured(trackNumberWords());
    static const QList<MeasuredEntry> bridges = measured(numberBridgeWords());
    const int n = codePointLength(text);
    for (const MeasuredEntry &track : tracks) {
        if (track.length + 7 >= n && text.endsWith(track.text, Qt::CaseInsensitive))
            return true;
        for (const MeasuredEntry &bridge : bridges) {
            if (track.length + bridge.length + 7 < n || !text.endsWith(bridge.text, Qt::CaseInsensitive))
                continue;
            const QStringView before = QStringView(text).chopped(bridge.text.size());
            if (before.endsWith(track.text, Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

InvalidTextClass classifyInvalidWords(const QList<IdWord *> &words)
{
    QStringList real;
    for (const IdWord *word : words) {
        if (word->kind() == IdWordKind::Word)
            real.append(word->text().toLower());
    }
    if (real.isEmpty())
        return InvalidTextClass::InvalidGeneral;
    if (real.size() == 1 && invalidSingleWords().contains(real.first()))
        return InvalidTextClass::InvalidGeneral;

    enum { Artist, Album, Title, General, VariousArtists, Additional, ListCount };
    const QSet<QString> *lists[ListCount] = {&invalidArtistWords(), &invalidAlbumWords(),
                                             &invalidTitleWords(), &invalidGeneralWords(),
                                             &invalidVariousArtistsWords(), &invalidAdditionalWordList()};
    int counters[ListCount] = {};
    int total = 0;
    for (const QString &word : real) {
        const int length = codePointLength(word);
        total += length;
        for (int list = 0; list < ListCount; ++list) {
            if (lists[list]->contains(word)) {
                counters[list] += length;
                break;
            }
        }
    }

    if (counters[Additional] > 0) {
        int best = Artist;
        for (int list = Album; list <= General; ++list) {
            if (counters[list] > counters[best])
                best = list;
        }
        const int value = counters[best];
        if (value < 1 || (counters[Additional] + value) * 10 < total * 7)
            return InvalidTextClass::NotInvalid;
        static constexpr InvalidTextClass classes[] = {InvalidTextClass::InvalidArtist, InvalidTextClass::InvalidAlbum,
                                                       InvalidTextClass::InvalidTitle, InvalidTextClass::InvalidGeneral};
        return classes[best];
    }
    const int invalid = counters[Artist] + counters[Album] + counters[Title] + counters[General] + counters[VariousArtists];
    if (invalid * 10 < total * 7)
        return InvalidTextClass::NotInvalid;
    if (counters[VariousArtists] > 0 && counters[Artist] > 0)
        return InvalidTextClass::VariousArtists;
    return InvalidTextClass::InvalidGeneral;
}
