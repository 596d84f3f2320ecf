#include "app/identification/stages/unifycapitalizationandtypos.h"
#include "app/identification/identificationtextids.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idsection.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idword.h"
#include "libcore/log/logger.h"
#include "libcore/progress/linearprogressobject.h"
#include "libcore/text/codepoint.h"
#include "libcore/text/codepointiterator.h"
#include "libcore/text/textmatching.h"

#include <QSet>

#include <map>

namespace {
// A text seen more often than this is no typo.
constexpr int MaxTypoCount = 6;
constexpr int MinCorrectionCount = 3;

void advance(LinearProgressObject *progress)
{
    if (progress)
        progress->advance(1);
}

void appendSectionRows(IdTable<IdSection *> &table, const IdStringList *list)
{
    if (!list)
        return;
    for (IdString *string : list->strings()) {
        string->setSectionBreaks(DashAndNumberBreaks);
        table.appendRow(string->sectionsWithWords());
    }
}

using EntryMap = std::map<QString, IdCapsAndTypoEntry>;

void unifyCapitalization(EntryMap &entries)
{
    for (auto &[key, entry] : entries) {
        for (int position = 0;; ++position) {
            QList<IdWord *> words;
            QStringList texts;
            for (qsizetype i = 0; i < entry.sections.size(); ++i) {
                const QList<IdWord *> real = entry.sections.at(i)->realWords();
                if (position >= real.size())
                    continue;
                words.append(real.at(position));
                if (entry.counted.at(i))
                    texts.append(real.at(position)->text());
            }
            if (words.size() < 2)
                break;
            if (texts.isEmpty()) {
                Logger::error(NoCountedSectionTextId);
                continue;
            }
            const QString majority = majorityCaseText(texts);
            if (majority.isNull())
                continue; // texts equal under toLower() but not under case folding
            for (IdWord *word : words)
                word->setText(majority);
        }
    }
}

struct TypoCandidate {
    QString key;
    const IdCapsAndTypoEntry *entry;
    int count;
    QString similarityKey;
    QSet<const IdAudioFile *> files;
};

QSet<const IdAudioFile *> filesOf(const IdCapsAndTypoEntry &entry)
{
    QSet<const IdAudioFile *> files;
    for (const IdSection *section : entry.sections)
        files.insert(section->audioFile());
    return files;
}

// A rare text similar to a clearly more frequent one takes the frequent one's text. Only texts
// seen at least three times can correct another, so they are picked out once and every rare
// text is compared with them alone.
void unifyTypos(EntryMap &entries, bool sameFileOnly)
{
    QList<TypoCandidate> frequent;
    for (const auto &[key, entry] : entries) {
        const int count = entry.count();
        if (count >= MinCorrectionCount)
            frequent.append({key, &entry, count, similarWordKey(key),
                             sameFileOnly ? filesOf(entry) : QSet<const IdAudioFile *>()});
    }
    if (frequent.isEmpty())
        return;
    for (auto &[key, entry] : entries) {
        const int count = entry.count();
        if (count > MaxTypoCount)
            continue;
        const int threshold = count <= 2 ? MinCorrectionCount : count * 3 / 2;
        const QString similarityKey = similarWordKey(key);
        const QSet<const IdAudioFile *> files = sameFileOnly ? filesOf(entry) : QSet<const IdAudioFile *>();
        const TypoCandidate *best = nullptr;
        for (const TypoCandidate &candidate : std::as_const(frequent)) {
            if (candidate.entry == &entry || candidate.count < threshold || (best && candidate.count <= best->count))
                continue;
            if (sameFileOnly && !files.intersects(candidate.files))
                continue;
            if (isSimilarText(similarityKey, candidate.similarityKey))
                best = &candidate;
        }
        if (!best)
            continue;
        const QString text = best->entry->sections.first()->text();
        for (IdSection *section : std::as_const(entry.sections))
            section->setTextKeepingBlanks(text);
    }
}
} // namespace

void IdCapsAndTypoEntry::add(IdSection *section)
{
    sections.append(section);
    bool counts = true;
    const IdString *string = section->string();
    const IdStringList *list = string ? string->stringList() : nullptr;
    if (list && list->kind() == 0) {
        const int level = string->indexInList();
        if (level < 0) {
            Logger::error(FolderLevelMissingTextId, {string->text()});
        } else if (folderLevels.contains(level)) {
            counts = false;
        } else {
            folderLevels.append(level);
        }
    }
    counted.append(counts);
}

int IdCapsAndTypoEntry::count() const
{
    return int(counted.count(true));
}

void unifyCapitalizationAndTypos(const QList<IdAudioFile *> &files, LinearProgressObject *progress)
{
    if (progress)
        progress->setMaximum(4 * int(files.size()));
    for (int kind : {1, 2, 3})
        unifyCapitalizationForKind(files, kind, progress);
    IdTable<IdSection *> table;
    for (const IdAudioFile *file : files) {
        for (int kind : {1, 0, 2, 3, 4})
            appendSectionRows(table, file->stringList(kind));
        advance(progress);
    }
    unifyCapitalizationAndTyposInColumn(table, -1);
}

void unifyCapitalizationForKind(const QList<IdAudioFile *> &files, int kind, LinearProgressObject *progress)
{
    IdTable<IdSection *> table;
    for (const IdAudioFile *file : files) {
        appendSectionRows(table, file->stringList(kind));
        advance(progress);
    }
    for (int c = 0; c < table.width; ++c)
        unifyCapitalizationAndTyposInColumn(table, c);
}

void unifyCapitalizationAndTyposInColumn(const IdTable<IdSection *> &table, int column)
{
    EntryMap entries;
    const auto collect = [&](IdSection *section) { entries[section->text().toLower()].add(section); };
    if (column < 0) {
        for (const QList<IdSection *> &row : table.rows) {
            for (IdSection *section : row)
                collect(section);
        }
    } else {
        for (IdSection *section : table.column(column))
            collect(section);
    }
    unifyCapitalization(entries);
    unifyTypos(entries, column < 0);
}

QString majorityCaseText(const QStringList &texts)
{
    if (texts.isEmpty())
        return {};
    const QString &first = texts.first();
    if (texts.size() == 1)
        return first;
    for (const QString &text : texts) {
        if (text.compare(first, Qt::CaseInsensitive) != 0)
            return {};
    }
    QList<CodePointIterator> others;
    for (qsizetype i = 1; i < texts.size(); ++i)
        others.append(CodePointIterator(texts.at(i)));
    const int n = int(texts.size());
    QString result;
    CodePointIterator it(first);
    while (it.position < first.size()) {
        const CodePoint c = it.next();
        const CodePoint lower = CodePoint(QChar::toLower(char32_t(c.value())));
        const CodePoint upper = CodePoint(QChar::toUpper(char32_t(c.value())));
        QList<CodePoint> column;
        for (CodePointIterator &other : others)
            column.append(other.position < other.text.size() ? other.next() : CodePoint());
        if (lower == upper) {
            result += c.toString();
            continue;
        }
        int l = c == lower ? 1 : 0;
        int m = c == upper ? 1 : 0;
        for (CodePoint o : std::as_const(column)) {
            l += o == lower ? 1 : 0;
            m += o == upper ? 1 : 0;
        }
        if (l + m != n)
            return first;
        result += (l > m ? lower : upper).toString();
    }
    return result;
}
