#pragma once

#include <QSet>

#include "app/model/browsingnode.h"

class AudioFile;

// A browse node with the audio files at or below it.
class AudioFileBrowsingNode : public BrowsingNode
{
    Q_OBJECT
public:
    using BrowsingNode::BrowsingNode;

    const QSet<AudioFile *> &files() const { return m_files; }
    void setFiles(const QSet<AudioFile *> &files) { m_files = files; }
    void addFiles(const QList<AudioFile *> &files);

private:
    QSet<AudioFile *> m_files;
};
