// The registry half of TextCodec: finding a codec by MIB number, name or locale.
#include "libcore/text/textcodec.h"

#include <array>

#include "libcore/text/asciitextcodec.h"
#include "libcore/text/cp1252textcodec.h"
#include "libcore/text/latin1textcodec.h"
#include "libcore/text/texttable.h"
#include "libcore/text/utf16betextcodec.h"
#include "libcore/text/utf16letextcodec.h"
#include "libcore/text/utf16textcodec.h"
#include "libcore/text/utf32betextcodec.h"
#include "libcore/text/utf32letextcodec.h"
#include "libcore/text/utf32textcodec.h"
#include "libcore/text/utf8textcodec.h"

namespace {
// In the order they are asked.
std::array<TextCodec *, 10> ownCodecs()
{
    return {AsciiTextCodec::instance(),  Cp1252TextCodec::instance(),  Latin1TextCodec::instance(),
            Utf8TextCodec::instance(),   Utf16TextCodec::instance(),   Utf16BeTextCodec::instance(),
            Utf16LeTextCodec::instance(), Utf32TextCodec::instance(),  Utf32BeTextCodec::instance(),
            Utf32LeTextCodec::instance()};
}

// Further names by which the codecs are known, besides their own.
struct Alias
{
    int mib;
    const char *name;
};
constexpr Alias Aliases[] = {
    {3, "ASCII"},         {3, "ANSI_X3.4-1968"}, {3, "ISO646-US"},  {3, "csASCII"},
    {4, "ISO-8859-1"},    {4, "latin1"},         {4, "l1"},         {4, "CP819"},
    {4, "IBM819"},        {4, "iso-ir-100"},     {4, "csISOLatin1"}, {106, "utf8"},
    {2252, "cp1252"},     {2252, "x-cp1252"},
};

struct DisplayName
{
    int mib;
    quint32 textId;
};
constexpr DisplayName DisplayNames[] = {
    {3, 1624935533},    {4, 909938478},     {106, 4144604149},  {1013, 2896532143},
    {1014, 179315782},  {1015, 1105279},    {1017, 555818117},  {1018, 4193464828},
    {1019, 1277064870},
};

// Names match regardless of case and of punctuation: "UTF-8", "utf8" and "Utf_8" are one.
QByteArray nameKey(QByteArrayView name)
{
    QByteArray key;
    for (char c : name) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))
            key.append(c);
        else if (c >= 'A' && c <= 'Z')
            key.append(char(c - 'A' + 'a'));
    }
    return key;
}
} // namespace

TextCodec *TextCodec::codecForMib(int mib)
{
    for (TextCodec *codec : ownCodecs()) {
        if (codec->mib() == mib)
            return codec;
    }
    return nullptr;
}

TextCodec *TextCodec::codecForLocale()
{
    // Qt 6 takes the local 8-bit encoding to be UTF-8 on every Unix system.
    return Utf8TextCodec::instance();
}

TextCodec *TextCodec::codecForName(const QString &name)
{
    const QByteArray key = nameKey(name.toLatin1());
    if (key.isEmpty())
        return nullptr;
    for (TextCodec *codec : ownCodecs()) {
        if (nameKey(codec->name().toLatin1()) == key)
            return codec;
    }
    for (const Alias &alias : Aliases) {
        if (nameKey(alias.name) == key)
            return codecForMib(alias.mib);
    }
    return nullptr;
}

QString TextCodec::displayName(int mib)
{
    for (const DisplayName &entry : DisplayNames) {
        if (entry.mib == mib)
            return textForId(entry.textId);
    }
    return QString();
}
