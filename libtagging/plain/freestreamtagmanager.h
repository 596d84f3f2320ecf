#pragma once

#include <QList>
#include <QObject>

#include <functional>
#include <utility>

class IoStream;
class ITagIo;
class TagInfo;

// The tags stacked at the two ends of a stream without container, with their exact
// positions, for one operation on one open stream. Changes the stream in place and keeps
// every record's offsets in step with the bytes. The records are children of the manager.
class FreeStreamTagManager : public QObject
{
public:
    enum Code : quint32 {
        UnknownReplacedTag = 0x28F88968,
        UnknownRemovedTag = 0x6E9B1C51,
        TagsOutOfOrder = 0x65E39E32,
    };

    // Given where a container begins (the end of the tags in front), the end it declares,
    // or -1 when it declares none.
    using ContainerEnd = std::function<qint64(qint64 containerStart)>;

    // Scans both ends; never fails because of a tag. With containerEnd, tags at the end are
    // only accepted at or after the container's declared end, so audio bytes that look like
    // a tag inside a container are never taken for one.
    explicit FreeStreamTagManager(IoStream *stream, QObject *parent = nullptr,
                                  const ContainerEnd &containerEnd = ContainerEnd());

    // Canonical orders: the start outermost first, the end with its last bytes last.
    static const QList<int> &frontTagOrder();
    static const QList<int> &backTagOrder();
    // The format of a tag type at the ends of a plain stream; null for any other type.
    static ITagIo *tagIo(int tagType);

    QList<TagInfo *> tags(int tagType, bool prepended) const;
    // Where the audio lies: from the end of the tags in front to the first tag at the end
    // (the stream's size without one). The start lies past the end when tags overlap.
    std::pair<qint64, qint64> audioRange() const;
    // Every tag found or placed: after the scan the start tags, then the end tags, each in
    // stream order; insertTag appends. The records stay the manager's.
    const QList<TagInfo *> &tagInfos() const { return m_tagInfos; }
    // A copy, to change the stack while walking it.
    QList<TagInfo *> allTags() const { return m_tagInfos; }

    // insertTag and replaceTag take the new record over.
    void insertTag(TagInfo *info);
    void replaceTag(TagInfo *oldInfo, TagInfo *newInfo);
    void removeTag(TagInfo *info);
    // Checks the layout and puts each end into its canonical order.
    void relayout();
    void rewriteEnd(const QList<int> &order, bool prepended);

private:
    void scan(const ContainerEnd &containerEnd);
    void adopt(TagInfo *info);

    IoStream *m_stream;
    QList<TagInfo *> m_tagInfos;
};
