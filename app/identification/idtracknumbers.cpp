#include "app/identification/idtracknumbers.h"

#include "app/identification/iddefaultgroup.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/idsection.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtexttests.h"
#include "app/identification/idtracknumbergroup.h"
#include "app/identification/idword.h"
#include "app/identification/idwordlists.h"
#include "libcore/text/textmatching.h"
#include "libcore/util/listutil.h"

#include <QHash>
#include <QSet>

namespace {
// A word already claimed by a track-number group is no candidate again.
bool qualifies(const IdWord *word)
{
    return !word->group || word->group->kind() == IdGroup::Default;
}

void addIfNumber(QList<IdNumberCandidate> &candidates, IdWord *word)
{
    if (!qualifies(word))
        return;
    const int number = smallNumber(word->text());
    if (number != -1)
        candidates.append({word, number});
}

int distanceFromEnd(const IdWord *word)
{
    const IdString *string = word->string();
    return (string ? int(string->realWords().size()) : 0) - word->stringIndex;
}

int sumOfEntries(const QList<IdTrackNumberGroup *> &groups)
{
    int sum = 0;
    for (const IdTrackNumberGroup *group : groups)
        sum += group->entryCount();
    return sum;
}

IdSectionTable sectionTableOf(const IdWordTable &table)
{
    IdSectionTable sections;
    for (const QList<IdWord *> &row : table.rows) {
        if (row.isEmpty())
            continue;
        IdString *string = row.first()->string();
        string->setSectionBreaks(IdSectionBreak::DashBreak | IdSectionBreak::LeadingNumberBreak |
                                 IdSectionBreak::BracketedNumberBreak);
        sections.appendRow(string->sectionsWithWords());
    }
    return sections;
}

IdAudioFile *fileOfEntry(const IdGroupEntry *entry)
{
    const IdString *string = entry->string();
    return string ? string->audioFile() : nullptr;
}

// What extending default groups by a number needs of a track-number group: its numbers and
// the default groups its files' words belong to. Worked out once per group and pass.
struct ExtensionTarget {
    explicit ExtensionTarget(IdTrackNumberGroup *group)
    {
        for (int i = 0; i < group->entryCount(); ++i) {
            const auto *entry = static_cast<const IdTrackNumberGroupEntry *>(group->entry(i));
            numbers.insert(entry->number);
            lowest = i == 0 ? entry->number : qMin(lowest, entry->number);
            highest = i == 0 ? entry->number : qMax(highest, entry->number);
            const IdString *string = entry->word ? entry->word->string() : nullptr;
            if (!string)
                continue;
            for (const IdWord *word : string->realWords()) {
                if (word->group && word->group->kind() == IdGroup::Default) {
                    auto *defaultGroup = static_cast<IdDefaultGroup *>(word->group);
                    if (!defaultGroups.contains(defaultGroup))
                        defaultGroups.append(defaultGroup);
                }
            }
        }
    }

    QSet<int> numbers;
    int lowest = 0;
    int highest = 0;
    QList<IdDefaultGroup *> defaultGroups; // in the order first met
};

// Adds the string's words to the group when it holds the group's words in order, ungrouped.
bool addStringToGroup(const IdString *string, IdDefaultGroup *group)
{
    const QList<IdWord *> all = string->words();
    QList<IdWord *> found;
    qsizetype at = 0;
    for (int j = 0; j < group->wordCount(); ++j) {
        const QString text = group->wordText(j);
        while (at < all.size() &&
               (all.at(at)->group || !equalStrings(all.at(at)->text(), text, Qt::CaseInsensitive)))
            ++at;
        if (at == all.size())
            return false;
        found.append(all.at(at++));
    }
    for (IdWord *word : std::as_const(found))
        word->group = group;
    group->addEntry(new IdDefaultGroupEntry(found, group));
    return true;
}

bool extendByNumber(IdWord *word, int number, const ExtensionTarget &target)
{
    if (target.numbers.isEmpty() || target.numbers.contains(number) || number > target.highest + 1 ||
        number < target.lowest - 1)
        return false;
    bool extended = false;
    const IdString *string = word->string();
    for (IdDefaultGroup *group : target.defaultGroups) {
        if (string && addStringToGroup(string, group))
            extended = true;
    }
    return extended;
}
} // namespace

namespace {
QList<IdNumberCandidate> endNumberCandidates(const IdWordTable &table, bool first)
{
    QList<IdNumberCandidate> candidates;
    for (const QList<IdWord *> &row : table.rows) {
        if (!row.isEmpty())
            addIfNumber(candidates, first ? row.first() : row.last());
    }
    return candidates;
}
} // namespace

QList<IdNumberCandidate> firstNumberCandidates(const IdWordTable &table)
{
    return endNumberCandidates(table, true);
}

QList<IdNumberCandidate> lastNumberCandidates(const IdWordTable &table)
{
    return endNumberCandidates(table, false);
}

QList<IdNumberCandidate> numbersAfterTrackWords(const IdWordTable &table)
{
    QList<IdNumberCandidate> candidates;
    for (const QList<IdWord *> &row : table.rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (!endsWithTrackNumberWord(row.at(i)->text()))
                continue;
            qsizetype j = i + 1;
            if (j < row.size() && isNumberBridgeWord(row.at(j)->text()))
                ++j;
            if (j < row.size())
                addIfNumber(candidates, row.at(j));
        }
    }
    return candidates;
}

QList<IdNumberCandidate> isolatedNumberCandidates(const IdWordTable &table)
{
    QList<IdNumberCandidate> candidates;
    for (const QList<IdWord *> &row : table.rows) {
        bool afterNumber = false;
        for (IdWord *word : row) {
            if (afterNumber) {
                if (isNumberSeparatorWord(word->text()))
                    continue;
                if (smallNumber(word->text()) != -1) {
                    afterNumber = false;
                    continue;
                }
            }
            const qsizetype before = candidates.size();
            addIfNumber(candidates, word);
            afterNumber = candidates.size() > before;
        }
    }
    return candidates;
}

QList<IdNumberCandidate> singleNumberSectionCandidates(const IdSectionTable &table)
{
    QList<IdNumberCandidate> candidates;
    for (const QList<IdSection *> &row : table.rows) {
        for (const IdSection *section : row) {
            const QList<IdWord *> words = section->realWords();
            if (words.size() == 1)
                addIfNumber(candidates, words.first());
        }
    }
    return candidates;
}

QList<IdNumberCandidate> sectionStartNumberCandidates(const QList<IdSection *> &sections)
{
    QList<IdNumberCandidate> candidates;
    for (const IdSection *section : sections) {
        const QList<IdWord *> words = section->realWords();
        if (!words.isEmpty())
            addIfNumber(candidates, words.first());
    }
    return candidates;
}

int dominantValue(const QMap<int, int> &counts, int total)
{
    int value = -1;
    int highest = 0;
    int second = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > highest) {
            second = highest;
            highest = it.value();
            value = it.key();
        } else if (it.value() > second) {
            second = it.value();
        }
    }
    if (value == -1 || highest <= total / 2)
        return -1;
    if (counts.size() > 1 && 2 * second >= highest)
        return -1;
    return value;
}

QList<IdNumberCandidate> chooseNumberSequence(QList<IdNumberCandidate> candidates)
{
    const int total = int(candidates.size());
    if (total <= 3)
        return {};
    QMap<int, int> positions;
    QMap<int, int> distances;
    QHash<const IdAudioFile *, int> perFile; // candidates of the same file, counted once
    for (const IdNumberCandidate &c : std::as_const(candidates)) {
        ++positions[c.word->stringIndex];
        ++distances[distanceFromEnd(c.word)];
        ++perFile[c.word->audioFile()];
    }
    const int position = dominantValue(positions, total);
    const int distance = dominantValue(distances, total);
    for (const IdNumberCandidate &c : std::as_const(candidates)) {
        if (IdAudioFile *file = c.word->audioFile())
            file->pickedForSequence = false;
    }
    ListUtil::sort(candidates, true,
                   [](const IdNumberCandidate &a, const IdNumberCandidate &b) { return a.number < b.number; });

    QList<IdNumberCandidate> confident;
    QList<IdNumberCandidate> uncertain;
    for (qsizetype start = 0; start < candidates.size();) {
        qsizetype end = start;
        while (end < candidates.size() && candidates.at(end).number == candidates.at(start).number)
            ++end;
        int best = -1;
        const IdNumberCandidate *choice = nullptr;
        bool sure = false;
        for (qsizetype i = start; i < end; ++i) {
            const IdNumberCandidate &x = candidates.at(i);
            const IdAudioFile *file = x.word->audioFile();
            if (file && file->pickedForSequence)
                continue;
            const int k = perFile.value(file);
            if (best == -1 || k < best) {
                best = k;
                choice = &x;
                sure = true;
            } else if (k == best) {
                sure = false;
                if (x.word->stringIndex == choice->word->stringIndex)
                    continue;
                if (position != -1 && x.word->stringIndex == position) {
                    choice = &x;
                    sure = true;
                } else if (distance != -1 && distanceFromEnd(x.word) == distance) {
                    choice = &x;
                    sure = true;
                }
            }
        }
        if (choice) {
            if (sure) {
                if (IdAudioFile *file = choice->word->audioFile())
                    file->pickedForSequence = true;
                confident.append(*choice);
            } else {
                uncertain.append(*choice);
            }
        }
        start = end;
    }
    if (5 * confident.size() < 4 * total)
        return {};
    confident.append(uncertain);
    if (confident.size() <= 3)
        return {};
    int lowest = confident.first().number;
    int highest = lowest;
    for (const IdNumberCandidate &c : std::as_const(confident)) {
        lowest = qMin(lowest, c.number);
        highest = qMax(highest, c.number);
    }
    const qsizetype picks = confident.size();
    const qsizetype span = highest - lowest + 1;
    if (4 * picks <= 5 * span && 6 * picks >= 5 * span)
        return confident;
    return {};
}

QList<IdTrackNumberGroup *> buildTrackNumberGroups(QList<IdNumberCandidate> candidates, QObject *parent)
{
    QList<IdTrackNumberGroup *> groups;
    const QList<IdNumberCandidate> sequence = chooseNumberSequence(candidates);
    if (!sequence.isEmpty()) {
        auto *group = new IdTrackNumberGroup(parent);
        for (const IdNumberCandidate &c : sequence)
            group->addEntry(new IdTrackNumberGroupEntry(c.word, c.number, group));
        QMultiHash<const IdWord *, int> picked;
        for (const IdNumberCandidate &c : sequence)
            picked.insert(c.word, c.number);
        candidates.removeIf([&](const IdNumberCandidate &c) { return picked.contains(c.word, c.number); });
        groups.append(group);
    }
    QMap<int, QList<IdNumberCandidate>> perDisc;
    for (const IdNumberCandidate &c : std::as_const(candidates)) {
        if (c.number > 100)
            perDisc[c.number / 100].append({c.word, c.number % 100});
        else
            perDisc[-1].append(c);
    }
    for (auto it = perDisc.cbegin(); it != perDisc.cend(); ++it) {
        const QList<IdNumberCandidate> discSequence = chooseNumberSequence(it.value());
        if (discSequence.isEmpty())
            continue;
        auto *group = new IdTrackNumberGroup(parent);
        group->disc = it.key();
        for (const IdNumberCandidate &c : discSequence)
            group->addEntry(new IdTrackNumberGroupEntry(c.word, c.number, group));
        groups.append(group);
    }
    for (IdTrackNumberGroup *group : std::as_const(groups)) {
        for (int i = 0; i < group->entryCount(); ++i) {
            IdWord *word = static_cast<IdTrackNumberGroupEntry *>(group->entry(i))->word;
            if (word->group)
                word->group->removeWord(word);
            word->group = group;
            if (IdAudioFile *file = word->audioFile())
                file->inGroup = true;
        }
    }
    return groups;
}

QList<IdTrackNumberGroup *> findTrackNumberGroups(const IdWordTable &table, QObject *parent)
{
    QList<IdTrackNumberGroup *> groups = buildTrackNumberGroups(firstNumberCandidates(table), parent);
    if (!groups.isEmpty())
        return groups;
    groups = buildTrackNumberGroups(lastNumberCandidates(table), parent);
    if (!groups.isEmpty())
        return groups;
    const IdSectionTable sections = sectionTableOf(table);
    groups = buildTrackNumberGroups(singleNumberSectionCandidates(sections), parent);
    if (!groups.isEmpty())
        return groups;
    for (int i = 0; i < sections.width; ++i) {
        groups = buildTrackNumberGroups(sectionStartNumberCandidates(sections.column(i)), parent);
        if (!groups.isEmpty())
            return groups;
    }
    groups = buildTrackNumberGroups(numbersAfterTrackWords(table), parent);
    if (!groups.isEmpty())
        return groups;
    return buildTrackNumberGroups(isolatedNumberCandidates(table), parent);
}

QList<IdTrackNumberGroup *> findAllTrackNumberGroups(const IdWordTable &table, QObject *parent)
{
    QList<IdTrackNumberGroup *> all;
    for (;;) {
        const QList<IdTrackNumberGroup *> groups = findTrackNumberGroups(table, parent);
        if (groups.isEmpty())
            return all;
        all.append(groups);
    }
}

QList<IdTrackNumberGroup *> findTrackNumberGroupsPerDefaultGroup(const IdWordTable &table,
                                                                 const QList<IdGroup *> &defaultGroups,
                                                                 QObject *parent)
{
    // The first row of every file, looked up instead of scanned for every entry.
    QHash<const IdAudioFile *, int> firstRow;
    for (int i = 0; i < table.rows.size(); ++i) {
        const QList<IdWord *> &row = table.rows.at(i);
        if (!row.isEmpty())
            if (!firstRow.contains(row.first()->audioFile()))
                firstRow.insert(row.first()->audioFile(), i);
    }
    QList<IdTrackNumberGroup *> all;
    for (const IdGroup *group : defaultGroups) {
        if (group->kind() != IdGroup::Default)
            continue;
        IdWordTable sub;
        for (int i = 0; i < group->entryCount(); ++i) {
            const auto it = firstRow.constFind(fileOfEntry(group->entry(i)));
            if (it != firstRow.cend())
                sub.appendRow(table.rows.at(it.value()));
        }
        all.append(findAllTrackNumberGroups(sub, parent));
    }
    return all;
}

IdWordTable ungroupedFileRows(const IdWordTable &table)
{
    IdWordTable result;
    for (const QList<IdWord *> &row : table.rows) {
        QList<IdWord *> kept;
        for (IdWord *word : row) {
            const IdAudioFile *file = word->audioFile();
            if (!file || !file->inGroup)
                kept.append(word);
        }
        if (!kept.isEmpty())
            result.appendRow(kept);
    }
    return result;
}

QList<IdTrackNumberGroup *> findTrackNumberGroupsOfUngroupedFiles(const IdWordTable &table, QObject *parent)
{
    return findAllTrackNumberGroups(ungroupedFileRows(table), parent);
}

void setGroupsAssigned(const QList<IdTrackNumberGroup *> &groups, bool assign)
{
    for (IdTrackNumberGroup *group : groups) {
        group->assignWords(assign);
        for (int i = 0; i < group->entryCount(); ++i) {
            if (IdAudioFile *file = fileOfEntry(group->entry(i)))
                file->inGroup = assign;
        }
    }
}

QList<IdTrackNumberGroup *> chooseTrackNumberGrouping(const IdWordTable &table, const QList<IdGroup *> &defaultGroups,
                                                      QObject *parent)
{
    QList<IdTrackNumberGroup *> a = findTrackNumberGroupsPerDefaultGroup(table, defaultGroups, parent);
    a.append(findAllTrackNumberGroups(table, parent));
    const int aCount = sumOfEntries(a);
    setGroupsAssigned(a, false);
    QList<IdTrackNumberGroup *> b = findAllTrackNumberGroups(table, parent);
    b.append(findTrackNumberGroupsPerDefaultGroup(table, defaultGroups, parent));
    if (sumOfEntries(b) >= aCount)
        return b;
    setGroupsAssigned(b, false);
    setGroupsAssigned(a, true);
    return a;
}

bool extendDefaultGroupsByNumber(IdWord *word, int number, IdTrackNumberGroup *group)
{
    return extendByNumber(word, number, ExtensionTarget(group));
}

bool extendDefaultGroupsByNumbers(const QList<IdNumberCandidate> &candidates,
                                  const QList<IdTrackNumberGroup *> &groups)
{
    if (candidates.isEmpty())
        return false;
    QList<ExtensionTarget> targets;
    targets.reserve(groups.size());
    for (IdTrackNumberGroup *group : groups)
        targets.append(ExtensionTarget(group));
    bool extended = false;
    for (const IdNumberCandidate &c : candidates) {
        for (const ExtensionTarget &target : std::as_const(targets)) {
            if (extendByNumber(c.word, c.number, target))
                extended = true;
        }
    }
    return extended;
}

bool extendGroupsByNumberCandidates(const IdWordTable &table, const QList<IdTrackNumberGroup *> &groups)
{
    const IdWordTable ungrouped = ungroupedFileRows(table);
    bool extended = extendDefaultGroupsByNumbers(numbersAfterTrackWords(ungrouped), groups);
    extended |= extendDefaultGroupsByNumbers(firstNumberCandidates(ungrouped), groups);
    extended |= extendDefaultGroupsByNumbers(lastNumberCandidates(ungrouped), groups);
    const IdSectionTable sections = sectionTableOf(ungrouped);
    extended |= extendDefaultGroupsByNumbers(singleNumberSectionCandidates(sections), groups);
    for (int i = 0; i < sections.width; ++i)
        extended |= extendDefaultGroupsByNumbers(sectionStartNumberCandidates(sections.column(i)), groups);
    extended |= extendDefaultGroupsByNumbers(isolatedNumberCandidates(ungrouped), groups);
    return extended;
}

QList<IdTrackNumberGroup *> findTrackNumberGroupsIteratively(const IdWordTable &table,
                                                             const QList<IdGroup *> &defaultGroups, QObject *parent)
{
    QList<IdTrackNumberGroup *> result;
    do {
        setGroupsAssigned(result, false);
        result = chooseTrackNumberGrouping(table, defaultGroups, parent);
        result.append(findTrackNumberGroupsOfUngroupedFiles(table, parent));
    } while (extendGroupsByNumberCandidates(table, result));
    return result;
}

IdTable<IdString *> stringTableOfKind(const QList<IdAudioFile *> &files, int kind)
{
    IdTable<IdString *> strings;
    for (const IdAudioFile *file : files) {
        if (const IdStringList *list = file->stringList(kind))
            strings.appendRow(list->strings());
    }
    return strings;
}

QList<IdTrackNumberGroup *> findTrackNumberGroupsOfKind(const QList<IdAudioFile *> &files, int kind,
                                                        const QList<IdGroup *> &defaultGroups, QObject *parent)
{
    const IdTable<IdString *> strings = stringTableOfKind(files, kind);
    QList<IdTrackNumberGroup *> all;
    for (int i = 0; i < strings.width; ++i) {
        IdWordTable table;
        for (const IdString *string : strings.column(i))
            table.appendRow(string->realWords());
        all.append(findTrackNumberGroupsIteratively(table, defaultGroups, parent));
    }
    return all;
}
