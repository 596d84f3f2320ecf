#include "support_identification.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idsection.h"
#include "app/identification/idstring.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtexttests.h"
#include "app/shell/applicationresources.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

#include <QDate>

#include <ctime>

void setUpIdentificationTests()
{
    static bool done = false;
    if (!done) {
        registerApplicationResources();
        registerTagItemTypes();
        done = true;
    }
    setCurrentDateForTesting(QDate(2026, 6, 1));
}

qint64 threadCpuMicroseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

AudioFile *fakeAudioFile(const QString &path, const QStringList &artists, QObject *owner)
{
    auto *file = new AudioFile(path, owner);
    if (!artists.isEmpty()) {
        auto *tag = new AudioTag;
        for (const QString &artist : artists) {
            TagItem *item = TagItem::create(TagItemType::Artist);
            item->fromVariant(artist);
            tag->addItem(item);
        }
        file->setTag(tag, 0);
    }
    return file;
}

QList<IdAudioFile *> idFiles(const QStringList &baseNames, QObject *owner, const QList<QStringList> &artists,
                             const QString &folder)
{
    QList<IdAudioFile *> files;
    for (qsizetype i = 0; i < baseNames.size(); ++i) {
        AudioFile *file = fakeAudioFile(folder + "/" + baseNames.at(i) + ".mp3", artists.value(i), owner);
        files.append(new IdAudioFile(file, owner));
    }
    return files;
}

QStringList sectionTexts(const QList<IdAudioFile *> &files, int kind)
{
    QStringList result;
    for (const IdAudioFile *file : files) {
        const IdStringList *list = file->stringList(kind);
        if (!list)
            continue;
        for (const IdString *string : list->strings()) {
            QStringList sections;
            for (const IdSection *section : string->sections())
                sections.append(section->text());
            result.append(sections.join(u'|'));
        }
    }
    return result;
}
