#include "app/model/audiofilebrowsingnode.h"

void AudioFileBrowsingNode::addFiles(const QList<AudioFile *> &files)
{
    for (AudioFile *file : files)
        m_files.insert(file);
}
