#pragma once

#include <QByteArray>
#include <QString>

// Standard Base64 with "+", "/" and "=" padding, no line breaks.
QString toBase64String(const QByteArray &bytes);

// Decodes both the standard and the URL-safe alphabet; padding may be missing or
// arrive percent-encoded ("%3D"), and characters outside the alphabet are skipped.
QByteArray fromBase64Url(const QString &text);
