#include "app/identification/idaudiofilegroup.h"

#include "app/identification/idaudiofile.h"
#include "app/identification/idsegment.h"
#include "libcore/text/textmatching.h"

IdArtistName identifiedArtist(const IdAudioFile *file)
{
    return IdArtistName::fromVariant(file->value(IdField::Artist));
}

QString identifiedAlbum(const IdAudioFile *file)
{
    return file->value(IdField::Album).toString();
}

IdAudioFileGroup::IdAudioFileGroup(const QList<IdAudioFile *> &files, const QSet<IdAudioFile *> &selectedFiles,
                                   int type, QObject *parent)
    : QObject(parent), files(files), selectedFiles(selectedFiles), type(type)
{
    if (type == OneArtistAlbum) {
        // Empty parts vote too: an album where most files name no article keeps none.
        QStringList articles;
        QStringList names;
        for (const IdAudioFile *file : files) {
            const IdArtistName name = identifiedArtist(file);
            articles.append(name.article);
            names.append(name.name);
        }
        artist.setArticle(mostFrequentString(articles));
        artist.setName(mostFrequentString(names));
        artist.articleWasAtEnd = false;
    }
    if (type == OneArtistAlbum || type == VariousArtistsAlbum) {
        QStringList albums;
        for (const IdAudioFile *file : files)
            albums.append(identifiedAlbum(file));
        album = mostFrequentString(albums);
    }
}
