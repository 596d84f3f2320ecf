#include "app/model/support_model.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "app/shell/applicationresources.h"
#include "libcore/text/resourcepackage.h"
#include "libcore/text/textcatalogue.h"
#include "libtagging/model/audiofile.h"
#include "libtagging/model/audiotag.h"
#include "libtagging/model/tagitem.h"

namespace {
// The fixtures folder of the source tree.
QString fixturesFolder()
{
    return QStringLiteral(MELO_FIXTURES "/");
}
} // namespace

void loadModelTexts()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    registerApplicationResources();
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    TextCatalogue::applyLanguage(english, english);
}

TagItem *makeModelItem(int itemType, const QVariant &value, QObject *parent)
{
    TagItem *item = TagItem::create(itemType, parent);
    if (item && !item->fromVariant(value)) {
        delete item;
        return nullptr;
    }
    return item;
}

AudioFileFactory::AudioFileFactory() = default;

QString AudioFileFactory::copyFixture(const QString &relativePath, const QString &fixture)
{
    const QString path = m_dir.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    QFile::copy(fixturesFolder() + fixture, path);
    QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return path;
}

AudioFile *AudioFileFactory::create(const QString &relativePath, const QList<QPair<int, QVariant>> &items,
                                    QObject *parent)
{
    auto *file = new AudioFile(copyFixture(relativePath), parent);
    if (!items.isEmpty()) {
        auto *tag = new AudioTag;
        for (const auto &[type, value] : items) {
            if (TagItem *item = makeModelItem(type, value))
                tag->addItem(item);
        }
        file->setTag(tag, 0);
    }
    return file;
}

AudioFile *AudioFileFactory::album(const QString &relativePath, const QString &artist, const QString &albumArtist,
                                   const QString &album, bool compilation, QObject *parent)
{
    QList<QPair<int, QVariant>> items{{TagItemType::Title, QFileInfo(relativePath).baseName()}};
    if (!artist.isEmpty())
        items.append({TagItemType::Artist, artist});
    if (!albumArtist.isEmpty())
        items.append({TagItemType::AlbumArtist, albumArtist});
    if (!album.isEmpty())
        items.append({TagItemType::Album, album});
    if (compilation)
        items.append({TagItemType::PartOfCompilation, true});
    return create(relativePath, items, parent);
}
