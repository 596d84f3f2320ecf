#include "libtagging/id3/id3v1genretable.h"

#include "libcore/text/stringutils.h"

#include <algorithm>

namespace {
// Spelled as the ID3v1 list has them, oddities ("Psychadelic", "Negerpunk") included:
// other programs compare the names as written.
const char *const genreNames[Id3v1GenreTable::Count] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",
    "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
    "Sound Clip", "Gospel", "Noise", "Alternative Rock", "Bass", "Soul", "Punk", "Space", "Meditative",
    "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial",
    "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta",
    "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave",
    "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka",
    "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock", "National Folk", "Swing",
    "Fast Fusion", "Bebop", "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock",
    "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus",
    "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata",
    "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba",
    "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock",
    "Drum Solo", "A capella", "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House",
    "Hardcore", "Terror", "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat",
    "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover", "Contemporary Christian",
    "Christian Rock", "Merengue", "Salsa", "Thrash Metal", "Anime", "Jpop", "Synthpop",
};
} // namespace

const QHash<int, QString> &Id3v1GenreTable::genres()
{
    static const QHash<int, QString> table = [] {
        QHash<int, QString> result;
        for (int i = 0; i < Count; ++i)
            result.insert(i, QString::fromLatin1(genreNames[i]));
        return result;
    }();
    return table;
}

const QHash<QString, int> &Id3v1GenreTable::genreNumbers()
{
    static const QHash<QString, int> table = [] {
        QHash<QString, int> result;
        for (int i = 0; i < Count; ++i)
            result.insert(alphanumericKey(QString::fromLatin1(genreNames[i])), i);
        return result;
    }();
    return table;
}

const QStringList &Id3v1GenreTable::sortedGenreNames()
{
    static const QStringList names = [] {
        QStringList result;
        for (int i = 0; i < Count; ++i)
            result.append(QString::fromLatin1(genreNames[i]));
        std::sort(result.begin(), result.end());
        return result;
    }();
    return names;
}

QString Id3v1GenreTable::genreName(int number)
{
    return genres().value(number);
}

int Id3v1GenreTable::genreNumber(const QString &name)
{
    return genreNumbers().value(alphanumericKey(name), -1);
}
