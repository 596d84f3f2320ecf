#pragma once

#include <QList>
#include <QStringList>

class IdAudioFile;
class IdString;

// The input texts of one kind of one file, each an identification string. Kinds: 0 the names
// of the file's folders, 1 its base name, 2 to 7 the values of its artist, album, title,
// track number, disc number and release date.
class IdStringList
{
public:
    IdStringList(const QStringList &texts, int kind, IdAudioFile *audioFile);
    ~IdStringList();
    IdStringList(const IdStringList &) = delete;
    IdStringList &operator=(const IdStringList &) = delete;

    const QList<IdString *> &strings() const { return m_strings; }
    int kind() const { return m_kind; }
    IdAudioFile *audioFile() const { return m_audioFile; }

private:
    QList<IdString *> m_strings;
    int m_kind;
    IdAudioFile *m_audioFile;
};

// The identification field that texts of the kind stand for; 0 for the names.
int identificationFieldForKind(int kind);
