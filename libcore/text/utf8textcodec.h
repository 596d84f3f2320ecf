#pragma once

#include "libcore/text/utftextcodec.h"

class Utf8TextCodec : public UtfTextCodec
{
public:
    static Utf8TextCodec *instance();

    QByteArray bom() const override;
    QByteArray terminator() const override;
    int unitSize() const override;
    int mib() const override;
    QString name() const override;

    QString decodeText(const QByteArray &data, bool stopAtNul, int errorMode) const override;
    bool canDecode(const QByteArray &data) const override;

    bool isBigEndian(const QByteArray &data) const override;
    bool encodesBigEndian() const override;
    bool scanCodePoint(const QByteArray &data, int &position, bool bigEndian, CodePoint &codePoint,
                       Failure &failure) const override;
    quint32 readUnit(const QByteArray &data, int &position, bool bigEndian,
                     bool reportErrors) const override;
    bool encodeCodePoint(QByteArray &out, CodePoint codePoint, bool bigEndian,
                         int maxBytes) const override;
    void appendUnit(QByteArray &out, quint32 unit, bool bigEndian) const override;

protected:
    Utf8TextCodec() = default;
};
