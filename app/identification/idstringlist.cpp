#include "app/identification/idstringlist.h"

#include "app/identification/idstring.h"

IdStringList::IdStringList(const QStringList &texts, int kind, IdAudioFile *audioFile)
    : m_kind(kind), m_audioFile(audioFile)
{
    m_strings.reserve(texts.size());
    for (const QString &text : texts)
        m_strings.append(new IdString(text, this));
}

IdStringList::~IdStringList()
{
    qDeleteAll(m_strings);
}

int identificationFieldForKind(int kind)
{
    // Artist, album, title, track number, disc number, release date.
    static constexpr int fields[] = {1, 2, 3, 4, 6, 8};
    return kind >= 2 && kind <= 7 ? fields[kind - 2] : 0;
}
