#include "app/identification/idaudiofile.h"

#include "app/identification/idinterpretationresult.h"
#include "app/identification/idsegment.h"
#include "app/identification/idsegmentgroup.h"
#include "app/identification/idstringlist.h"
#include "app/identification/idtexttests.h"
#include "libcore/io/folderwalk.h"
#include "libcore/io/paths.h"
#include "libcore/log/exception.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {
enum : int {
    MaxFolderLevels = 3,
    // A folder with more sub-folders than this is a collection, not an artist or album.
    MaxSubfolders = 20,
};

thread_local IdAudioFile::FolderScope *currentFolderScope = nullptr;

bool listsManySubfolders(const QString &folder)
{
    try {
        return listDirectory(folder, QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDir::Unsorted, false, false)
                   .size()
               > MaxSubfolders;
    } catch (const Exception &) {
        return false;
    }
}

bool hasManySubfolders(const QString &folder)
{
    if (!currentFolderScope)
        return listsManySubfolders(folder);
    const auto known = currentFolderScope->manySubfolders.constFind(folder);
    if (known != currentFolderScope->manySubfolders.cend())
        return *known;
    const bool many = listsManySubfolders(folder);
    currentFolderScope->manySubfolders.insert(folder, many);
    return many;
}
} // namespace

IdAudioFile::FolderScope::FolderScope() : m_outer(currentFolderScope)
{
    const QString music = musicFolder();
    if (!music.isEmpty())
        collectionRoots.insert(music);
    currentFolderScope = this;
}

IdAudioFile::FolderScope::~FolderScope()
{
    currentFolderScope = m_outer;
}

QString IdAudioFile::musicFolder()
{
    // Qt reads XDG's user-dirs file and falls back to ~/Music.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return folder.isEmpty() ? folder : QDir::cleanPath(folder);
}

IdAudioFile::IdAudioFile(AudioFile *file, QObject *parent) : QObject(parent), m_audioFile(file)
{
    const QString path = withoutTrailingSlash(file->filePath());
    addStringList({QFileInfo(path).completeBaseName()}, 1);

    QStringList folders;
    QString folder = path;
    // Outside a run's scope the music folder is looked up once per process.
    static const QSet<QString> musicOnly{musicFolder()};
    const QSet<QString> &roots = currentFolderScope ? currentFolderScope->collectionRoots : musicOnly;
    for (int level = 0; level < MaxFolderLevels; ++level) {
        folder = parentPath(folder);
        if (folder.isEmpty() || roots.contains(QDir::cleanPath(folder)) || hasManySubfolders(folder))
            break;
        const QString name = fileName(withoutTrailingSlash(folder));
        if (name.isEmpty() || isRootPath(folder))
            break;
        folders.append(name);
    }
    addStringList(folders, 0);

    m_tag = file->combinedTag();
    if (m_tag) {
        addTagValues(TagItemType::Artist, 2);
        addTagValues(TagItemType::Album, 3);
        addTagValues(TagItemType::Title, 4);
        addTagValues(TagItemType::TrackNumber, 5);
        addTagValues(TagItemType::DiscNumber, 6);
        addTagValues(TagItemType::ReleaseDate, 7);
    }
}

IdAudioFile::~IdAudioFile()
{
    qDeleteAll(m_stringLists);
}

IdStringList *IdAudioFile::stringList(int kind) const
{
    for (IdStringList *list : m_stringLists) {
        if (list->kind() == kind)
            return list;
    }
    return nullptr;
}

void IdAudioFile::setValue(int field, const QVariant &value)
{
    if (!value.isValid()) {
        m_values.remove(field);
        m_valueConfidences.remove(field);
        return;
    }
    m_values.insert(field, value);
}

void IdAudioFile::setValueConfidence(int field, int confidence)
{
    if (confidence == 0)
        m_valueConfidences.remove(field);
    else
        m_valueConfidences.insert(field, confidence);
}

void IdAudioFile::addStringList(const QStringList &texts, int kind)
{
    if (texts.isEmpty())
        return;
    QStringList cleaned;
    cleaned.reserve(texts.size());
    for (const QString &text : texts)
        cleaned.append(replaceLetterOInNumbers(normalizeUnderscores(text)));
    m_stringLists.append(new IdStringList(cleaned, kind, this));
}

void IdAudioFile::addTagValues(int itemType, int kind)
{
    QStringList texts;
    for (const TagItem *item : m_tag->items(itemType)) {
        const QString text = item->toString(QString()).trimmed();
        if (!text.isEmpty())
            texts.append(text);
    }
    addStringList(texts, kind);
}

void IdAudioFile::setSegments(const QList<IdSegment *> &segments)
{
    m_segments = segments;
    for (IdSegment *segment : segments)
        segment->setParent(this);
}

void IdAudioFile::setSegmentGroups(const QList<IdSegmentGroup *> &groups)
{
    m_segmentGroups = groups;
    for (IdSegmentGroup *group : groups) {
        if (group)
            group->setParent(this);
    }
}

void IdAudioFile::setResults(const QMap<int, IdInterpretationResult *> &results)
{
    m_results = results;
    for (IdInterpretationResult *result : results) {
        if (result)
            result->setParent(this);
    }
}
