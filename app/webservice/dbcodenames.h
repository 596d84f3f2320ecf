#pragma once

#include <QString>

// The catalogue texts of the service's codes; an unknown code gives an empty text.
QString primaryTypeName(int code);
QString secondaryTypeName(int code);
QString releaseStatusName(int code);
QString mediumFormatName(int code);

// The code that every kind of code uses for "none".
constexpr int NoPrimaryType = 11;
constexpr int NoMediumFormat = 13;

enum DbCodeTextId : quint32 {
    NoneCodeTextId = 0xad43614cu,
    UnknownFormatTextId = 0xcdbbbf24u, // format 13 in a release's list of formats
    DiscTextId = 0xe4b60039u,          // format 13 in a medium's name
};
