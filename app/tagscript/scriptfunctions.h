#pragma once

#include <QString>
#include <QVariant>

// A function of the script library: its lower-cased call name (some functions serve several
// names a little differently) and the values of its arguments.
using ScriptFunction = QVariant (*)(const QString &key, const QVariantList &arguments);

// The function a call of this lower-cased name with this many arguments runs; null when the
// library has no such pair, and such a call has no value.
ScriptFunction findScriptFunction(const QString &key, int argumentCount);
