#include "app/library/duplicatefilesgroup.h"

#include "app/library/duplicateresolutioncondition.h"
#include "libgui/icons/icons.h"

DuplicateFilesGroup::DuplicateFilesGroup(QObject *parent) : DuplicateGroup(parent)
{
}

void DuplicateFilesGroup::resolve(const QList<DuplicateResolutionCondition *> &conditions, const QList<AudioFile *> &newFiles)
{
    for (DuplicateSet *set : std::as_const(sets)) {
        AudioFile *choice = set->files.value(0, nullptr);
        for (qsizetype i = 1; i < set->files.size(); ++i) {
            if (isPreferred(set->files.at(i), choice, conditions, newFiles))
                choice = set->files.at(i);
        }
        set->keptFile = choice;
    }
}

QIcon DuplicateFilesGroup::icon() const
{
    static const QIcon folder = loadIcon(QStringLiteral("folder"));
    return folder;
}

bool DuplicateFilesGroup::isPreferred(AudioFile *candidate, AudioFile *current,
                                      const QList<DuplicateResolutionCondition *> &conditions,
                                      const QList<AudioFile *> &newFiles)
{
    for (const DuplicateResolutionCondition *condition : conditions) {
        const int result = condition->compare(candidate, current);
        if (result != 0)
            return result > 0;
    }
    if (newFiles.contains(candidate))
        return false;
    return newFiles.contains(current);
}
