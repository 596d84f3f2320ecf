#pragma once

#include <QLocale>

// The locale named by the setting "preferredLocale"; the default locale when it is empty.
QLocale preferredLocale();
