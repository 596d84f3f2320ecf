#include "libtagging/model/unknownid3v2datatagitem.h"

UnknownId3v2DataTagItem::UnknownId3v2DataTagItem(const QString &frameId, const Id3v2FrameFlags &flags,
                                                 const QByteArray &data, QObject *parent)
    : UnknownDataTagItem(frameId, data, parent), flags(flags)
{
}

TagItem *UnknownId3v2DataTagItem::clone(QObject *parent) const
{
    return new UnknownId3v2DataTagItem(name, flags, data, parent);
}

int UnknownId3v2DataTagItem::type() const
{
    return Type;
}
