#include "app/identification/stages/consolidateartistnames.h"

#include "app/identification/idartistname.h"
#include "app/identification/idaudiofile.h"
#include "app/identification/stages/unifycapitalizationandtypos.h"
#include "app/identification/idsegment.h"
#include "libcore/text/textmatching.h"

#include <QMap>

namespace {
enum : int {
    // Values carried by more files than this are left as they are.
    MaxRareCount = 6,
    MinReplacementCount = 3,
};

// The count a similar value needs to replace a value carried by n files.
int replacementThreshold(qsizetype n)
{
    return n <= 2 ? MinReplacementCount : int(3 * n / 2);
}

void replaceArtists(const QList<IdAudioFile *> &targets, const QList<IdAudioFile *> &sources)
{
    QStringList articles;
    QStringList names;
    for (const IdAudioFile *file : sources) {
        const IdArtistName name = IdArtistName::fromVariant(file->value(IdField::Artist));
        articles.append(name.article);
        names.append(name.name);
    }
    const QString article = majorityCaseText(articles);
    const QString name = majorityCaseText(names);
    for (IdAudioFile *file : targets) {
        IdArtistName artist = IdArtistName::fromVariant(file->value(IdField::Artist));
        if (!article.isEmpty())
            artist.setArticle(article);
        if (!name.isEmpty())
            artist.setName(name);
        file->setValue(IdField::Artist, artist.toVariant());
    }
}

void replaceTexts(const QList<IdAudioFile *> &targets, const QList<IdAudioFile *> &sources, int field)
{
    QStringList texts;
    for (const IdAudioFile *file : sources)
        texts.append(file->value(field).toString());
    const QString text = majorityCaseText(texts);
    if (text.isEmpty())
        return;
    for (IdAudioFile *file : targets)
        file->setValue(field, text);
}
} // namespace

void consolidateArtistNames(const QList<IdAudioFile *> &files, int field)
{
    QMap<QString, QList<IdAudioFile *>> groups;
    for (IdAudioFile *file : files) {
        const auto value = file->values().constFind(field);
        if (value == file->values().constEnd())
            continue;
        const QString key =
            field == IdField::Artist ? IdArtistName::fromVariant(*value).toString(true) : value->toString();
        groups[key].append(file);
    }

    struct Group {
        QString key;
        QString similarityKey;
        QList<IdAudioFile *> files;
    };
    QList<Group> ordered;
    ordered.reserve(groups.size());
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        ordered.append({it.key(), similarWordKey(it.key()), *it});

    // Only values of 3 files or more can replace another: with many distinct values in a
    // folder, the rare ones are compared with the few frequent ones only.
    QList<const Group *> frequent;
    for (const Group &group : ordered) {
        if (group.files.size() >= MinReplacementCount)
            frequent.append(&group);
    }

    // Every choice is made on the groups as they were found: a file that takes another value
    // here is not counted for it again.
    QList<QPair<const Group *, const Group *>> replacements;
    for (const Group &group : ordered) {
        const qsizetype n = group.files.size();
        if (n > MaxRareCount)
            continue;
        const int threshold = replacementThreshold(n);
        const Group *best = nullptr;
        for (const Group *candidatePointer : frequent) {
            const Group &candidate = *candidatePointer;
            const qsizetype count = candidate.files.size();
            if (count < threshold || (best && count <= best->files.size()))
                continue;
            if (isSimilarText(group.similarityKey, candidate.similarityKey))
                best = &candidate;
        }
        if (best)
            replacements.append(qMakePair(&group, best));
    }
    for (const auto &[group, best] : replacements) {
        if (field == IdField::Artist)
            replaceArtists(group->files, best->files);
        else
            replaceTexts(group->files, best->files, field);
    }
}
