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

    bool isBigEndian(const QByteArray &data) const override;
    bool encodesBigEndian() const override;
    CodePoint decodeCodePoint(const QByteArray &data, int &position, bool bigEndian,
                              bool reportErrors) const override;
    quint32 readUnit(const QByteArray &data, int &position, bool bigEndian,
                     bool reportErrors) const override;
    bool encodeCodePoint(QByteArray &out, CodePoint codePoint, bool bigEndian,
                         int maxBytes) const override;
    void appendUnit(QByteArray &out, quint32 unit, bool bigEndian) const override;

protected:
    Utf8TextCodec() = default;
};
