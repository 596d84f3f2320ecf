#include "app/identification/stages/groupbysegmentation.h"
#include "app/identification/identificationtextids.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/iddefaultgroup.h"
#include "app/identification/idsection.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtracknumbergroup.h"
#include "app/identification/idword.h"
#include "app/identification/idwordlists.h"
#include "libcore/log/logger.h"
#include "libcore/text/stringutils.h"
#include "libcore/text/textmatching.h"
#include "libcore/util/listutil.h"

#include <QHash>
#include <QMap>

namespace {
constexpr quint32 GroupingBreaks =
    IdSectionBreak::DashBreak | IdSectionBreak::LeadingNumberBreak | IdSectionBreak::BracketedNumberBreak;
constexpr quint32 SplitBreaks = IdSectionBreak::DashBreak | IdSectionBreak::ShortHyphenation;

// Entries a default group needs, by the number of files: one word, two words, and three or
// more words (which is also the number of rows that start or continue a group).
struct Thresholds {
    int oneWord;
    int twoWords;
    int rows;
};

Thresholds thresholdsFor(int fileCount)
{
    if (fileCount <= 25)
        return {4, 3, 3};
    if (fileCount <= 40)
        return {5, 4, 3};
    if (fileCount <= 55)
        return {6, 5, 4};
    return {7, 6, 5};
}

// The key of every word of a table, worked out once, and per column the rows of each key.
struct KeyIndex {
    explicit KeyIndex(const IdWordTable &table)
    {
        keys.reserve(table.rows.size());
        rowsByKey.resize(table.width);
        for (int i = 0; i < table.rows.size(); ++i) {
            const QList<IdWord *> &row = table.rows.at(i);
            QStringList rowKeys;
            rowKeys.reserve(row.size());
            for (int c = 0; c < row.size(); ++c) {
                rowKeys.append(alphanumericKey(row.at(c)->text()));
                rowsByKey[c][rowKeys.last()].append(i);
            }
            keys.append(rowKeys);
        }
    }

    QList<QStringList> keys;
    QList<QHash<QString, QList<int>>> rowsByKey;
};

bool prefixGrouped(const QList<IdWord *> &row, int column)
{
    for (int c = 0; c < column; ++c) {
        if (!row.at(c)->group)
            return false;
    }
    return true;
}

QList<int> matchingRowsIndexed(const IdWordTable &table, const KeyIndex &index, int column, const QString &key,
                               bool required)
{
    QList<int> result;
    if (column >= index.rowsByKey.size())
        return result;
    for (int i : index.rowsByKey.at(column).value(key)) {
        const QList<IdWord *> &row = table.rows.at(i);
        if (row.at(column)->group)
            continue;
        if (required && column > 0 && !prefixGrouped(row, column))
            continue;
        result.append(i);
    }
    return result;
}

template<typename KeyOf>
QList<int> largestBucket(const IdWordTable &table, const QList<int> &rows, int column, bool skipCommonWords,
                         KeyOf keyOf)
{
    QMap<QString, QList<int>> buckets;
    for (int i : rows) {
        const QList<IdWord *> &row = table.rows.at(i);
        if (row.size() <= column)
            continue;
        const IdWord *x = row.at(column);
        if (x->group || (skipCommonWords && isCommonWord(x->text())))
            continue;
        if (column > 0 && qAbs(x->stringIndex - row.at(column - 1)->stringIndex) > 1)
            continue;
        buckets[keyOf(i, column)].append(i);
    }
    QList<int> largest;
    for (auto it = buckets.cbegin(); it != buckets.cend(); ++it) {
        if (it.value().size() > largest.size())
            largest = it.value();
    }
    return largest;
}

void setGroupSize(const IdDefaultGroup *group)
{
    for (int i = 0; i < group->entryCount(); ++i) {
        for (IdWord *word : group->entry(i)->words())
            word->groupSize = group->entryCount();
    }
}

QList<IdGroup *> growIndexed(const IdWordTable &table, int fileCount, bool required, QObject *parent)
{
    const Thresholds t = thresholdsFor(fileCount);
    const KeyIndex index(table);
    const auto keyOf = [&index](int row, int column) { return index.keys.at(row).at(column); };
    QObject candidates;
    QList<IdGroup *> result;
    for (int r = 0; r < table.rows.size(); ++r) {
        const QList<IdWord *> &row = table.rows.at(r);
        for (int j = 0; j < (row.size() + 1) / 2; ++j) {
            IdWord *w = row.at(j);
            if (w->group)
                continue;
            QList<int> rows = matchingRowsIndexed(table, index, j, index.keys.at(r).at(j), required);
            if (rows.size() < t.rows) {
                if (rows.size() > 1) {
                    for (int k : std::as_const(rows))
                        table.rows.at(k).at(j)->groupSize = int(rows.size());
                }
                continue;
            }
            const bool startsWithNumber = isDecimalNumber(w->text());
            const bool startsWithCommonWord = !startsWithNumber && isCommonWord(w->text());
            auto *group = new IdDefaultGroup(&candidates);
            for (int k : std::as_const(rows))
                group->addEntry(new IdDefaultGroupEntry({table.rows.at(k).at(j)}, group));

            bool columnAdded = false;
            bool startSeen = false;
            bool dropped = false;
            for (int c = j + 1;; ++c) {
                const QList<int> next =
                    largestBucket(table, rows, c, startsWithNumber && !columnAdded, keyOf);
                if (next.size() < t.rows)
                    break;
                if (columnAdded || !(startsWithNumber || startsWithCommonWord)) {
                    if (5 * next.size() < 4 * rows.size())
                        break;
                    if (next.contains(r)) {
                        startSeen = true;
                    } else if (!startSeen) {
                        dropped = true;
                        break;
                    }
                }
                extendDefaultGroup(group, table, rows, next, c);
                rows = next;
                columnAdded = true;
            }
            if (dropped)
                continue;

            const int entries = group->entryCount();
            bool refused = false;
            if (!columnAdded && startsWithNumber && 10 * entries < 3 * int(table.rows.size()) && entries <= 4)
                refused = true;
            if (entries == 0 || (!columnAdded && startsWithCommonWord))
                refused = true;
            if (!refused) {
                const int m = group->wordCount();
                refused = !((m >= 3 && entries >= t.rows) || (m == 2 && entries >= t.twoWords) ||
                            (m == 1 && entries >= t.oneWord));
            }
            if (refused) {
                if (entries > 1)
                    setGroupSize(group);
                continue;
            }
            group->sortEntryWords();
            group->assignWords(true);
            result.append(group);
        }
    }
    for (IdGroup *group : std::as_const(result))
        group->setParent(parent);
    return result;
}

IdAudioFile *fileOf(const IdGroupEntry *entry)
{
    const IdString *string = entry->string();
    return string ? string->audioFile() : nullptr;
}

// The word positions after which the entry's text has a dash or a short hyphenation.
QList<int> cutPositions(const IdGroupEntry *entry)
{
    const QList<IdWord *> words = entry->words();
    QList<int> positions;
    if (words.isEmpty() || !entry->string())
        return positions;
    IdString text(entry->string()->textOfWordRange(words.first()->stringIndex, words.last()->stringIndex));
    text.setSectionBreaks(SplitBreaks);
    for (const IdSection *section : text.sections()) {
        if (!section->words().isEmpty() && section->words().first()->stringIndex > 0)
            positions.append(section->words().first()->stringIndex);
    }
    return positions;
}
} // namespace

QList<int> matchingRows(const IdWordTable &table, int column, const QString &text, bool groupedPrefixRequired)
{
    const QString key = alphanumericKey(text);
    QList<int> result;
    for (int i = 0; i < table.rows.size(); ++i) {
        const QList<IdWord *> &row = table.rows.at(i);
        if (row.size() <= column || row.at(column)->group || alphanumericKey(row.at(column)->text()) != key)
            continue;
        if (groupedPrefixRequired && column > 0 && !prefixGrouped(row, column))
            continue;
        result.append(i);
    }
    return result;
}

QList<int> largestRowBucket(const IdWordTable &table, const QList<int> &rows, int column, bool skipCommonWords)
{
    return largestBucket(table, rows, column, skipCommonWords,
                         [&table](int row, int c) { return alphanumericKey(table.rows.at(row).at(c)->text()); });
}

void extendDefaultGroup(IdDefaultGroup *group, const IdWordTable &table, const QList<int> &rows,
                        const QList<int> &continuingRows, int column)
{
    if (group->entryCount() != rows.size() || group->entryCount() < continuingRows.size()) {
        Logger::error(ExtendRowsTextId);
        return;
    }
    qsizetype n = continuingRows.size() - 1;
    for (int k = group->entryCount() - 1; k >= 0; --k) {
        if (n >= 0 && rows.at(k) == continuingRows.at(n))
            --n;
        else
            group->removeEntryAt(k);
    }
    if (group->entryCount() != continuingRows.size()) {
        Logger::error(ExtendEntriesTextId, {group->entryCount(), int(continuingRows.size())});
        return;
    }
    for (int k = 0; k < group->entryCount(); ++k) {
        static_cast<IdDefaultGroupEntry *>(group->entry(k))
            ->addWord(table.rows.at(continuingRows.at(k)).at(column));
    }
}

QList<IdGroup *> growDefaultGroups(const IdWordTable &table, int fileCount, bool groupedPrefixRequired,
                                   QObject *parent)
{
    return growIndexed(table, fileCount, groupedPrefixRequired, parent);
}

QList<IdGroup *> findDefaultGroups(const IdWordTable &table, int fileCount, bool groupedPrefixRequired,
                                   QObject *parent)
{
    QList<IdGroup *> groups = growDefaultGroups(table, fileCount, groupedPrefixRequired, parent);
    IdWordTable reversed = table;
    for (QList<IdWord *> &row : reversed.rows)
        std::reverse(row.begin(), row.end());
    groups.append(growDefaultGroups(reversed, fileCount, groupedPrefixRequired, parent));
    return groups;
}

QList<IdGroup *> groupDefaultGroupsOfKind(const QList<IdAudioFile *> &files, int kind, QObject *parent)
{
    const int fileCount = int(files.size());
    const IdTable<IdString *> strings = stringTableOfKind(files, kind);
    QList<IdGroup *> result;
    for (int i = 0; i < strings.width; ++i) {
        IdSectionTable sections;
        for (IdString *string : strings.column(i)) {
            string->setSectionBreaks(GroupingBreaks);
            sections.appendRow(string->sectionsWithWords());
        }
        QHash<QString, QList<IdSection *>> buckets;
        for (const QList<IdSection *> &row : std::as_const(sections.rows)) {
            for (IdSection *section : row)
                buckets[alphanumericKey(section->text())].append(section);
        }
        const qsizetype rowCount = sections.rows.size();
        for (const QList<IdSection *> &bucket : std::as_const(buckets)) {
            const bool marked = bucket.size() >= 3 || bucket.size() >= rowCount / 2;
            for (IdSection *section : bucket)
                section->marked = marked;
        }
        IdWordTable marked;
        for (const QList<IdSection *> &row : std::as_const(sections.rows)) {
            QList<IdWord *> words;
            bool any = false;
            for (const IdSection *section : row) {
                if (section->marked) {
                    any = true;
                    words.append(section->realWords());
                }
            }
            if (any && !words.isEmpty())
                marked.appendRow(words);
        }
        result.append(findDefaultGroups(marked, fileCount, false, parent));
        if (fileCount <= 75) {
            IdWordTable all;
            for (const QList<IdSection *> &row : std::as_const(sections.rows)) {
                QList<IdWord *> words;
                for (const IdSection *section : row)
                    words.append(section->realWords());
                if (!words.isEmpty())
                    all.appendRow(words);
            }
            result.append(findDefaultGroups(all, fileCount, true, parent));
        }
    }
    return result;
}

QList<IdGroup *> pruneDefaultGroups(QList<IdGroup *> groups)
{
    QHash<const IdAudioFile *, int> largestTrackGroup;
    const auto largestFor = [&largestTrackGroup](const IdAudioFile *file) {
        const auto it = largestTrackGroup.constFind(file);
        if (it != largestTrackGroup.cend())
            return it.value();
        int h = -1;
        if (file) {
            for (const IdStringList *list : file->stringLists()) {
                for (const IdString *string : list->strings()) {
                    for (const IdWord *word : string->realWords()) {
                        if (word->group && word->group->kind() == IdGroup::TrackNumber)
                            h = qMax(h, word->group->entryCount());
                    }
                }
            }
        }
        largestTrackGroup.insert(file, h);
        return h;
    };
    for (IdGroup *g : std::as_const(groups)) {
        if (g->kind() != IdGroup::Default)
            continue;
        auto *group = static_cast<IdDefaultGroup *>(g);
        for (int i = group->entryCount() - 1; i >= 0; --i) {
            const int h = largestFor(fileOf(group->entry(i)));
            if (h != -1 && group->entryCount() < 2 * h / 3) {
                for (IdWord *word : group->entry(i)->words())
                    word->group = nullptr;
                group->removeEntryAt(i);
            }
        }
    }
    for (qsizetype i = groups.size() - 1; i >= 0; --i) {
        if (groups.at(i)->entryCount() == 0)
            groups.removeAt(i);
    }
    return groups;
}

QList<IdGroup *> splitDefaultGroups(QList<IdGroup *> groups, QObject *parent)
{
    IdTable<IdGroupingSplitEntry> blocks;
    for (IdGroup *g : std::as_const(groups)) {
        if (g->kind() != IdGroup::Default || g->entryCount() == 0)
            continue;
        auto *group = static_cast<IdDefaultGroup *>(g);
        const int wordCount = group->wordCount();
        // Entries of one text cut alike: each text is cut once.
        QHash<QString, QList<int>> cutsByText;
        QList<int> positions;
        for (int i = 0; i < group->entryCount(); ++i) {
            const IdGroupEntry *entry = group->entry(i);
            const QList<IdWord *> words = entry->words();
            if (words.isEmpty() || !entry->string())
                continue;
            const QString text =
                entry->string()->textOfWordRange(words.first()->stringIndex, words.last()->stringIndex);
            auto it = cutsByText.find(text);
            if (it == cutsByText.end())
                it = cutsByText.insert(text, cutPositions(entry));
            for (int p : it.value()) {
                // A cut past the group's words would leave parts of unequal entries.
                if (p < wordCount)
                    positions.append(p);
            }
        }
        positions.append(wordCount);
        ListUtil::sort(positions);
        QList<IdGroupingSplitEntry> row;
        int prev = 0;
        for (int p : std::as_const(positions)) {
            if (p == prev)
                continue;
            QString text;
            for (int k = prev; k < p; ++k)
                text += group->wordText(k);
            row.append(IdGroupingSplitEntry(group, alphanumericKey(text), prev, p - prev));
            prev = p;
        }
        blocks.appendRow(row);
    }

    // Every pair of equal blocks, each pair once; only flags are set, so the order is free.
    QHash<QString, QList<QPair<int, int>>> byKey;
    for (int r = 0; r < blocks.rows.size(); ++r) {
        for (int k = 0; k < blocks.rows.at(r).size(); ++k)
            byKey[blocks.rows.at(r).at(k).key].append({r, k});
    }
    for (const QList<QPair<int, int>> &same : std::as_const(byKey)) {
        for (qsizetype a = 0; a < same.size(); ++a) {
            for (qsizetype b = a + 1; b < same.size(); ++b) {
                const auto [r, k] = same.at(a);
                const auto [i, j] = same.at(b);
                QList<IdGroupingSplitEntry> &rowX = blocks.rows[r];
                QList<IdGroupingSplitEntry> &rowY = blocks.rows[i];
                if (k > 0 && j > 0) {
                    if (rowX.at(k - 1).key != rowY.at(j - 1).key) {
                        rowX[k - 1].cutAfter = true;
                        rowY[j - 1].cutAfter = true;
                    }
                } else if (k > 0) {
                    rowX[k - 1].cutAfter = true;
                } else if (j > 0) {
                    rowY[j - 1].cutAfter = true;
                }
                const bool xLast = k == rowX.size() - 1;
                const bool yLast = j == rowY.size() - 1;
                if (xLast || yLast || rowX.at(k + 1).key != rowY.at(j + 1).key) {
                    rowX[k].cutAfter = true;
                    rowY[j].cutAfter = true;
                }
            }
        }
    }

    for (const QList<IdGroupingSplitEntry> &row : std::as_const(blocks.rows)) {
        if (row.isEmpty())
            continue;
        IdDefaultGroup *owner = row.first().group;
        QList<int> cuts;
        for (qsizetype k = 0; k < row.size(); ++k) {
            if (row.at(k).group != owner)
                Logger::error(SplitRowOwnerTextId);
            if (k + 1 < row.size() && row.at(k).cutAfter)
                cuts.append(row.at(k).start + row.at(k).length);
        }
        if (cuts.isEmpty())
            continue;
        owner->assignWords(false);
        groups.removeOne(owner);
        cuts.append(owner->wordCount());
        int prev = 0;
        for (int c : std::as_const(cuts)) {
            auto *part = new IdDefaultGroup(parent);
            for (int e = 0; e < owner->entryCount(); ++e) {
                const QList<IdWord *> words = owner->entry(e)->words();
                part->addEntry(new IdDefaultGroupEntry(words.mid(prev, c - prev), part));
            }
            part->assignWords(true);
            groups.append(part);
            prev = c;
        }
    }
    return groups;
}

QList<IdGroup *> groupBySegmentation(const QList<IdAudioFile *> &files, QObject *parent)
{
    const auto defaultGroupsOfAllKinds = [&] {
        QList<IdGroup *> groups;
        for (int kind = 1; kind <= 4; ++kind)
            groups.append(groupDefaultGroupsOfKind(files, kind, parent));
        return groups;
    };
    QList<IdGroup *> defaultGroups = defaultGroupsOfAllKinds();
    ListUtil::sort(defaultGroups, false,
                   [](const IdGroup *a, const IdGroup *b) { return a->entryCount() < b->entryCount(); });
    QList<IdTrackNumberGroup *> trackGroups;
    for (int kind = 1; kind <= 5; ++kind)
        trackGroups.append(findTrackNumberGroupsOfKind(files, kind, defaultGroups, parent));
    for (IdTrackNumberGroup *group : std::as_const(trackGroups)) {
        if (IdDefaultGroup *discs = group->discGroup(parent))
            defaultGroups.append(discs);
    }
    if (!trackGroups.isEmpty())
        defaultGroups.append(defaultGroupsOfAllKinds());
    defaultGroups = splitDefaultGroups(pruneDefaultGroups(defaultGroups), parent);
    for (IdTrackNumberGroup *group : std::as_const(trackGroups))
        defaultGroups.append(group);
    return defaultGroups;
}
