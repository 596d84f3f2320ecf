#include "app/identification/idversionsignalphrase.h"
#include "app/identification/identificationtextids.h"

#include "app/identification/idword.h"
#include "libcore/io/wholefile.h"
#include "libcore/log/exception.h"
#include "libcore/log/logger.h"
#include "libcore/text/textcodec.h"

namespace {
}

IdVersionSignalPhrase::IdVersionSignalPhrase(int kind, const QString &phrase, int extension, bool bracketsOnly,
                                             int field)
    : kind(kind), words(splitIntoIdWords(phrase)), extension(extension), bracketsOnly(bracketsOnly), field(field)
{
}

IdVersionSignalPhrase::~IdVersionSignalPhrase()
{
    qDeleteAll(words);
}

int IdVersionSignalPhrase::matchAt(const QList<IdWord *> &text, int start) const
{
    const auto equal = [](const IdWord *a, const IdWord *b) {
        return a->text().compare(b->text(), Qt::CaseInsensitive) == 0;
    };
    if (words.isEmpty() || start < 0 || start >= text.size() || text.at(start)->kind() != IdWordKind::Word
        || !equal(text.at(start), words.first()))
        return -1;
    int q = start;
    for (const IdWord *phraseWord : words) {
        if (q >= text.size())
            return -1;
        bool taken = false;
        while (text.at(q)->kind() != IdWordKind::Word) {
            if (phraseWord->kind() != IdWordKind::Word && equal(phraseWord, text.at(q))) {
                ++q;
                taken = true;
                break;
            }
            if (++q >= text.size())
                return -1;
        }
        if (taken)
            continue;
        if (!equal(text.at(q), phraseWord))
            return -1;
        ++q;
    }
    return q - 1;
}

void readVersionPhrases(const QString &path, QList<IdVersionSignalPhrase *> &phrases)
{
    const QStringList lines = readTextFile(path, TextCodec::codecForMib(106)).split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList columns = lines.at(i).split(QLatin1Char('\t'));
        if (columns.size() != 5)
            continue;
        phrases.append(new IdVersionSignalPhrase(columns.at(0).toInt(nullptr, 10), columns.at(1),
                                                 columns.at(2).toInt(nullptr, 10),
                                                 columns.at(3).toLower() == QLatin1String("true"),
                                                 columns.at(4).toInt(nullptr, 10)));
    }
}

const QList<IdVersionSignalPhrase *> &loadVersionPhrases()
{
    // Kept until the process ends; a second thread arriving first waits for the first.
    struct Table {
        Table()
        {
            try {
                readVersionPhrases(QStringLiteral(":/app/data/versionPhrases.csv"), phrases);
            } catch (const Exception &) {
                Logger::error(VersionPhrasesUnreadableTextId);
            }
        }
        ~Table() { qDeleteAll(phrases); }
        QList<IdVersionSignalPhrase *> phrases;
    };
    static const Table table;
    return table.phrases;
}
