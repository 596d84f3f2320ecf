#include "support_idscoring.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/stages/groupbysegmentation.h"
#include "app/identification/stages/normalizeidstrings.h"
#include "app/identification/idsegment.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

IdAudioFile *idTaggedFile(const QString &path, const QMap<int, QStringList> &values, QObject *owner)
{
    auto *file = new AudioFile(path, owner);
    if (!values.isEmpty()) {
        auto *tag = new AudioTag;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            for (const QString &text : it.value()) {
                TagItem *item = TagItem::create(it.key());
                item->fromVariant(text);
                tag->addItem(item);
            }
        }
        file->setTag(tag, 0);
    }
    return new IdAudioFile(file, owner);
}

QList<IdGroup *> segmentIdFiles(const QList<IdAudioFile *> &files, QObject *owner)
{
    const QList<IdGroup *> groups = groupBySegmentation(files, owner);
    normalizeIdStrings(files, groups);
    return groups;
}

IdScoringContext idScoringContext(IdAudioFile *file, const QList<IdAudioFile *> &files, bool firstPass)
{
    IdScoringContext context;
    context.file = file;
    context.firstPass = firstPass;
    context.fileCount = int(files.size());
    context.sharing = computeSharingValue(files, context.fileCount);
    context.sharingTimesTen = 10 * context.sharing;
    context.poolWeight = computePoolWeight(context.sharing, context.fileCount);
    return context;
}

IdSegment *idSegmentOf(const IdAudioFile *file, int kind, const QString &text)
{
    for (IdSegment *segment : file->segments()) {
        if (segment->sourceKind() == kind && segment->text() == text)
            return segment;
    }
    return nullptr;
}

QString describeIdSegments(const IdAudioFile *file)
{
    QStringList lines;
    for (const IdSegment *s : file->segments()) {
        QString line = QStringLiteral("%1[%2] c%3 g%4 t%5 b%6").arg(s->text()).arg(s->sourceKind()).arg(s->category)
                           .arg(s->groupSize).arg(s->groupType()).arg(s->baseScore());
        for (auto it = s->scores().cbegin(); it != s->scores().cend(); ++it)
            line += QStringLiteral(" %1=%2").arg(it.key()).arg(it.value());
        lines.append(line);
    }
    return lines.join(u'\n');
}
