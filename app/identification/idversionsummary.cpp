#include "app/identification/idversionsummary.h"

#include "app/identification/idversionitem.h"
#include "libcore/text/textmatching.h"

void IdVersionSummary::buildFrom(const QList<IdVersionItem *> &items)
{
    kinds.clear();
    texts.clear();
    for (const IdVersionItem *item : items)
        kinds.unite(item->kinds());
    for (IdVersionItem *item : items)
        item->setAllowedKinds(kinds);
    QList<int> ordered(kinds.cbegin(), kinds.cend());
    std::sort(ordered.begin(), ordered.end());
    for (int kind : ordered) {
        QString longest;
        bool found = false;
        for (const IdVersionItem *item : items) {
            const QString text = item->textForKind(kind);
            if (text.isNull())
                continue;
            longest = found ? longerString(longest, text) : text;
            found = true;
        }
        if (found)
            texts.insert(kind, longest);
    }
}

void IdVersionSummary::merge(const IdVersionSummary &other)
{
    kinds.unite(other.kinds);
    for (auto it = other.texts.cbegin(); it != other.texts.cend(); ++it) {
        const auto mine = texts.find(it.key());
        if (mine == texts.end())
            texts.insert(it.key(), it.value());
        else
            *mine = longerString(*mine, it.value());
    }
}
