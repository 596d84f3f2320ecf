#include "libtagging/id3/id3v2frameflags.h"

#include "libtagging/id3/id3v2tagio.h"

#include <algorithm>

namespace {

// A big-endian number of bytes at position, moving past it; false when the data ends first.
bool readUInt(const QByteArray &data, qsizetype &position, int bytes, quint32 *value)
{
    if (position + bytes > data.size())
        return false;
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | uchar(data.at(position++));
    *value = v;
    return true;
}

} // namespace

Id3v2FrameFlags Id3v2FrameFlags::fromHeaderBytes(int version, quint8 status, quint8 format)
{
    Id3v2FrameFlags flags;
    if (version == 3) {
        flags.tagAlterPreservation = status & 0x80;
        flags.fileAlterPreservation = status & 0x40;
        flags.readOnly = status & 0x20;
        flags.compression = format & 0x80;
        flags.dataLengthIndicator = format & 0x80;
        flags.encryption = format & 0x40;
        flags.grouping = format & 0x20;
    } else if (version == 4) {
        flags.tagAlterPreservation = status & 0x40;
        flags.fileAlterPreservation = status & 0x20;
        flags.readOnly = status & 0x10;
        flags.grouping = format & 0x40;
        flags.compression = format & 0x08;
        flags.encryption = format & 0x04;
        flags.unsynchronisation = format & 0x02;
        flags.dataLengthIndicator = format & 0x01;
    }
    return flags;
}

qsizetype Id3v2FrameFlags::readExtraBytes(int version, const QByteArray &data)
{
    qsizetype extra = 0;
    quint32 value = 0;
    auto byte = [&](int *field) {
        if (!readUInt(data, extra, 1, &value))
            return false;
        *field = int(value);
        return true;
    };
    if (version == 3) {
        if (dataLengthIndicator) {
            if (!readUInt(data, extra, 4, &value))
                return -1;
            dataLength = int(value);
        }
        if (encryption && !byte(&encryptionMethod))
            return -1;
        if (grouping && !byte(&groupId))
            return -1;
    } else if (version == 4) {
        auto length = [&] {
            if (!readUInt(data, extra, 4, &value))
                return false;
            dataLength = (value & 0x80808080u) ? int(value) : Id3v2TagIo::decodeSynchsafe(value);
            return true;
        };
        if (grouping && !byte(&groupId))
            return -1;
        if (encryption && dataLengthIndicator) {
            // Writers disagree on the order; a method byte has bit 7 set, a synchsafe byte
            // never has.
            const bool methodFirst = extra < data.size() && (uchar(data.at(extra)) & 0x80);
            const bool ok = methodFirst ? byte(&encryptionMethod) && length() : length() && byte(&encryptionMethod);
            if (!ok)
                return -1;
        } else if (encryption) {
            if (!byte(&encryptionMethod))
                return -1;
        } else if (dataLengthIndicator) {
            if (!length())
                return -1;
        }
    }
    return extra;
}

Id3v2FrameHeader::Result Id3v2FrameHeader::decode(const QByteArray &data, qsizetype &position, int version,
                                                  bool synchsafeSizes)
{
    idSize = version == 2 ? 3 : 4;
    if (position + idSize > data.size())
        return Truncated;
    id = data.constData() + position;
    if (!std::all_of(id, id + idSize, isIdByte))
        return NoFrame;
    position += idSize;
    quint32 value = 0;
    if (!readUInt(data, position, version == 2 ? 3 : 4, &value))
        return Truncated;
    dataSize = version == 2 || !synchsafeSizes ? int(value) : Id3v2TagIo::decodeSizeField(value);
    // A size of 2 GiB or more cannot be a frame: the frames before it are kept.
    if (dataSize < 0)
        return NoFrame;
    flags = Id3v2FrameFlags();
    if (version > 2) {
        quint32 status = 0;
        quint32 format = 0;
        if (!readUInt(data, position, 1, &status) || !readUInt(data, position, 1, &format))
            return Truncated;
        flags = Id3v2FrameFlags::fromHeaderBytes(version, quint8(status), quint8(format));
    }
    return Read;
}
