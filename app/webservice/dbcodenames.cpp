#include "app/webservice/dbcodenames.h"

#include "libcore/text/texttable.h"

namespace {

struct CodeText
{
    int code;
    quint32 textId;
};

template<size_t N>
QString textOf(const CodeText (&table)[N], int code)
{
    for (const CodeText &row : table) {
        if (row.code == code)
            return textForId(row.textId);
    }
    return QString();
}

constexpr CodeText PrimaryTypes[] = {
    {1, 0x1a64148au}, {2, 0xad1a92b7u}, {3, 0xe90a2b21u}, {11, NoneCodeTextId}, {12, 0x69f2fb84u},
};

constexpr CodeText SecondaryTypes[] = {
    {1, 0x1ec50ca1u}, {2, 0x93467736u}, {3, 0x75d6cc2du}, {4, 0x528ab414u},
    {5, 0xa181d5cdu}, {6, 0x0375f687u}, {7, 0xc88f64edu}, {8, 0xb580949cu},
    {9, 0x04cd09dbu}, {10, 0xad6a7886u}, {11, 0x3b69ffc2u},
};

constexpr CodeText ReleaseStatuses[] = {
    {0, NoneCodeTextId}, {1, 0xe48b2b4cu}, {2, 0xe3b7a31bu}, {3, 0xe91e81d7u}, {4, 0x832ca752u},
};

constexpr CodeText MediumFormats[] = {
    {1, 0x0a5e9a79u},  {2, 0x6d552acbu},  {3, 0x30295610u},  {4, 0xb5ff6a47u},
    {5, 0xdff006b7u},  {6, 0xbbde6ae0u},  {8, 0xfbe2e011u},  {12, 0xb568eb02u},
    {13, NoneCodeTextId}, {20, 0x199807f8u}, {21, 0x6bbd207au}, {22, 0xaa80b9a7u},
    {26, 0x16c4d640u}, {41, 0x01765251u}, {62, 0x3399133fu}, {73, 0xda8fd654u},
};

} // namespace

QString primaryTypeName(int code)
{
    return textOf(PrimaryTypes, code);
}

QString secondaryTypeName(int code)
{
    return textOf(SecondaryTypes, code);
}

QString releaseStatusName(int code)
{
    return textOf(ReleaseStatuses, code);
}

QString mediumFormatName(int code)
{
    return textOf(MediumFormats, code);
}
