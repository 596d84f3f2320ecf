#include "app/library/duplicategroup.h"

#include "libcore/io/fileinfo.h"
#include "libtagging/model/audiofile.h"

DuplicateGroup::DuplicateGroup(QObject *parent) : QObject(parent)
{
}

DuplicateGroup::~DuplicateGroup()
{
    qDeleteAll(sets);
}

QIcon DuplicateGroup::icon() const
{
    return QIcon();
}

bool DuplicateGroup::isDiscarded(AudioFile *file) const
{
    for (const DuplicateSet *set : sets) {
        if (set->files.contains(file))
            return set->keptFile && set->keptFile != file;
    }
    return false;
}

bool DuplicateGroup::isDiscarded(const QString &path) const
{
    const Qt::CaseSensitivity cs = isFileSystemCaseSensitive();
    for (const DuplicateSet *set : sets) {
        for (AudioFile *file : set->files) {
            if (file->filePath().compare(path, cs) == 0)
                return set->keptFile && set->keptFile != file;
        }
    }
    return false;
}
