#include "app/model/audiofilemodeldata.h"

#include <QDir>

#include <algorithm>
#include <memory>

#include "app/model/audiofilebrowsingnode.h"
#include "app/model/audiofilegroup.h"
#include "app/model/datatypevalues.h"
#include "app/model/tagitemmimedataentry.h"
#include "app/model/variantmimedataentry.h"
#include "app/operations/operationqueue.h"
#include "libcore/log/exception.h"
#include "libcore/text/codepointstring.h"
#include "libcore/text/formatting.h"
#include "libcore/text/texttable.h"
#include "libgui/icons/icons.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"

namespace {

constexpr int MaximumDisplayLength = 128;

const QIcon &namedIcon(const QString &name)
{
    // Loaded once per name for the process.
    static QHash<QString, QIcon> icons;
    auto it = icons.find(name);
    if (it == icons.end())
        it = icons.insert(name, loadIcon(name));
    return *it;
}

AudioFileBrowsingNode *newNode(const QString &name, const QString &displayText, const QString &iconName,
                               QObject *parent)
{
    return new AudioFileBrowsingNode(name, displayText, namedIcon(iconName), parent);
}

// The child of that name below the node, created and added when missing.
AudioFileBrowsingNode *childNode(AudioFileBrowsingNode *node, const QString &name, const QString &iconName,
                                 QObject *temporary)
{
    auto *child = static_cast<AudioFileBrowsingNode *>(node->descendant({name}));
    if (!child) {
        child = newNode(name, name, iconName, temporary);
        node->addChild(child);
    }
    return child;
}

QString shortDisplayText(QString text)
{
    text.replace(u'\n', QChar(0x23CE));
    if (text.size() > MaximumDisplayLength && codePointLength(text) > MaximumDisplayLength)
        text = leftCodePoints(text, MaximumDisplayLength) + QStringLiteral("...");
    return text;
}

} // namespace

AudioFileModelData::AudioFileModelData(QObject *parent)
    : QObject(parent),
      m_rootNode(newNode(rootName(), upperCaseFirst(textForId(AllFilesNodeTextId)), QStringLiteral("audioFile"), this)),
      m_browsePath{rootName()}
{
}

AudioFileModelData::~AudioFileModelData() = default;

QList<BrowsingNode *> AudioFileModelData::rootNodes() const
{
    return {m_rootNode};
}

QVariant AudioFileModelData::data(AudioFile *file, const ModelDataType &dataType, int role)
{
    if (role != Qt::DisplayRole && role != RawValueRole && role != SortValueRole)
        return QVariant();
    QHash<CellKey, QVariant> &cells = m_cellCache[file];
    const CellKey key{dataType, role};
    const auto cached = cells.constFind(key);
    if (cached != cells.constEnd())
        return *cached;
    QVariant value = dataTypeValue(file, dataType, role);
    if (role == Qt::DisplayRole && value.typeId() == QMetaType::QString)
        value = shortDisplayText(value.toString());
    cells.insert(key, value);
    return value;
}

MimeDataEntry *AudioFileModelData::createMimeDataEntry(AudioFile *file, const ModelDataType &dataType,
                                                       QObject *parent)
{
    if (!dataType.isTagItem()) {
        const QVariant value = data(file, dataType, RawValueRole);
        if (!value.isValid())
            return nullptr;
        return new VariantMimeDataEntry(value, valueFormat(dataType), parent);
    }
    const AudioTag *tag = file ? file->combinedTag() : nullptr;
    if (!tag)
        return nullptr;
    const QList<TagItem *> items = tag->items(dataType.id);
    if (items.isEmpty())
        return nullptr;
    auto *grid = new MimeDataEntry(1, int(items.size()), parent);
    for (int i = 0; i < items.size(); ++i)
        grid->setEntry(i, new TagItemMimeDataEntry(items.at(i), grid));
    return grid;
}

void AudioFileModelData::addAudioFiles(const QList<AudioFile *> &files)
{
    for (AudioFile *file : files) {
        file->setParent(this);
        if (!m_ownedFiles.contains(file)) {
            m_ownedFiles.insert(file);
            emit audioFileLoaded(file);
        }
        m_loadedFiles.insert(file);
    }
    updateBrowsingNodes();
    emit dataChanged();
    const QStringList root{rootName()};
    if (m_browsePath == root)
        updateDisplayedFiles();
    else
        setPath(root);
}

void AudioFileModelData::replaceTags(const QList<AudioFile *> &files, const QList<AudioTag *> &tags,
                                     const QList<ModelDataType> &dataTypes)
{
    if (files.size() != tags.size())
        throw Exception(TagCountMismatch, {files.size(), tags.size()});
    if (files.isEmpty())
        return;
    for (AudioFile *file : files) {
        if (!file || file->parent() != this)
            throw Exception(FileNotInStore, {file ? QDir::toNativeSeparators(file->filePath()) : QString()});
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        AudioFile *file = files.at(i);
        std::unique_ptr<AudioTag> previous(file->takeTag(TagType::Combined));
        file->setTag(tags.at(i) ? tags.at(i)->clone() : nullptr, TagType::Combined);
        emit combinedTagReplaced(file, previous.get());
        if (previous && previous->parent())
            previous.release(); // kept by a listener
    }

    const QSet<ModelDataType> changedTypes(dataTypes.cbegin(), dataTypes.cend());
    for (AudioFile *file : files) {
        const auto cells = m_cellCache.find(file);
        if (cells == m_cellCache.end())
            continue;
        cells->removeIf([&](const auto &entry) { return changedTypes.contains(entry.key().dataType); });
    }
    // Rebuilding the tree walks every loaded file; a change of titles or track numbers
    // leaves it as it is.
    const bool regroups = std::any_of(dataTypes.cbegin(), dataTypes.cend(), [](const ModelDataType &dataType) {
        return dataType.isTagItem() && AudioFileGroup::groupsByItemType(dataType.id);
    });
    if (regroups)
        updateBrowsingNodes();
    emit dataChanged();
    updatePathFromDisplayedFiles();
}

void AudioFileModelData::removeAudioFiles(const QList<AudioFile *> &files)
{
    if (files.isEmpty())
        return;
    // One pass over the displayed files with a set lookup: removing thousands of files
    // from tens of thousands stays linear.
    const QSet<AudioFile *> removed(files.cbegin(), files.cend());
    QList<AudioFile *> remaining;
    remaining.reserve(m_displayedFiles.size());
    for (AudioFile *file : std::as_const(m_displayedFiles)) {
        if (!removed.contains(file))
            remaining.append(file);
    }
    setDisplayedFiles(remaining);
    for (AudioFile *file : removed) {
        m_cellCache.remove(file);
        m_loadedFiles.remove(file);
    }
    updateBrowsingNodes();
    emit dataChanged();
    updatePathFromDisplayedFiles();
}

void AudioFileModelData::releaseUnusedAudioFiles(const OperationQueue *queue)
{
    releaseUnusedAudioFiles(queue ? queue->referencedAudioFiles() : QSet<AudioFile *>());
}

void AudioFileModelData::releaseUnusedAudioFiles(const QSet<AudioFile *> &referencedFiles)
{
    QSet<AudioFile *> candidates = m_ownedFiles;
    candidates.subtract(referencedFiles);
    candidates.subtract(m_loadedFiles);
    for (AudioFile *file : std::as_const(candidates)) {
        emit audioFileAboutToBeDeleted(file);
        m_ownedFiles.remove(file);
        m_cellCache.remove(file);
        delete file;
    }
}

AudioFileBrowsingNode *AudioFileModelData::findNode(const QStringList &path) const
{
    if (path.isEmpty() || path.first() != m_rootNode->name())
        return nullptr;
    return static_cast<AudioFileBrowsingNode *>(m_rootNode->descendant(path.mid(1)));
}

bool AudioFileModelData::isValidPath(const QStringList &path) const
{
    return path.isEmpty() || findNode(path);
}

bool AudioFileModelData::setPath(const QStringList &path)
{
    if (path == m_browsePath)
        return true;
    if (!isValidPath(path))
        return false;
    m_browsePath = path;
    updateDisplayedFiles();
    emit pathChanged(m_browsePath);
    return true;
}

void AudioFileModelData::setDisplayedFiles(const QList<AudioFile *> &files)
{
    emit displayedFilesAboutToBeChanged();
    m_displayedFiles = files;
    emit displayedFilesChanged();
}

void AudioFileModelData::updateDisplayedFiles()
{
    if (m_browsePath.isEmpty())
        return;
    const AudioFileBrowsingNode *node = findNode(m_browsePath);
    setDisplayedFiles(node ? node->files().values() : QList<AudioFile *>());
}

AudioFileBrowsingNode *AudioFileModelData::findNodeOfFiles(AudioFileBrowsingNode *node, const QSet<AudioFile *> &files)
{
    if (!node)
        return nullptr;
    for (BrowsingNode *child : node->children()) {
        if (AudioFileBrowsingNode *found = findNodeOfFiles(static_cast<AudioFileBrowsingNode *>(child), files))
            return found;
    }
    return node->files() == files ? node : nullptr;
}

void AudioFileModelData::updatePathFromDisplayedFiles()
{
    const QSet<AudioFile *> displayed(m_displayedFiles.cbegin(), m_displayedFiles.cend());
    const AudioFileBrowsingNode *node = findNodeOfFiles(m_rootNode, displayed);
    const QStringList path = node ? node->path() : QStringList();
    if (path != m_browsePath) {
        m_browsePath = path;
        emit pathChanged(m_browsePath);
    }
}

void AudioFileModelData::updateBrowsingNodes()
{
    QObject temporary;
    m_rootNode->clearChildren();
    m_rootNode->setFiles(m_loadedFiles);

    const QList<AudioFileGroup *> groups = AudioFileGroup::createGroups(m_loadedFiles.values(), &temporary);
    QList<AudioFileGroup *> byKind[3];
    for (AudioFileGroup *group : groups)
        byKind[group->kind()].append(group);

    const QString disc = QStringLiteral("disc");
    const QString user = QStringLiteral("user");
    if (!byKind[AudioFileGroup::AlbumKind].isEmpty()) {
        AudioFileBrowsingNode *single = newNode(QStringLiteral("single"), upperCaseFirst(textForId(SingleArtistNodeTextId)),
                                                disc, &temporary);
        m_rootNode->addChild(single);
        for (const AudioFileGroup *group : std::as_const(byKind[AudioFileGroup::AlbumKind])) {
            single->addFiles(group->files());
            AudioFileBrowsingNode *artist = childNode(single, group->artist(), user, &temporary);
            artist->addFiles(group->files());
            childNode(artist, group->album(), disc, &temporary)->addFiles(group->files());
        }
    }
    if (!byKind[AudioFileGroup::CompilationKind].isEmpty()) {
        AudioFileBrowsingNode *various = newNode(QStringLiteral("various"),
                                                 upperCaseFirst(textForId(VariousArtistsNodeTextId)),
                                                 QStringLiteral("multiUser"), &temporary);
        m_rootNode->addChild(various);
        for (const AudioFileGroup *group : std::as_const(byKind[AudioFileGroup::CompilationKind])) {
            various->addFiles(group->files());
            childNode(various, group->album(), disc, &temporary)->addFiles(group->files());
        }
    }
    if (!byKind[AudioFileGroup::TracksKind].isEmpty()) {
        AudioFileBrowsingNode *tracks = newNode(QStringLiteral("tracks"), upperCaseFirst(textForId(TracksNodeTextId)),
                                                QStringLiteral("music"), &temporary);
        m_rootNode->addChild(tracks);
        for (const AudioFileGroup *group : std::as_const(byKind[AudioFileGroup::TracksKind])) {
            tracks->addFiles(group->files());
            if (!group->artist().isEmpty())
                childNode(tracks, group->artist(), user, &temporary)->addFiles(group->files());
        }
    }
    for (BrowsingNode *top : m_rootNode->children())
        top->sortChildren(true);
}
