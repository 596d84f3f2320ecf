#pragma once

#include <QString>

// Repairs what empty values leave in a naming pattern's result: runs of hyphens or
// underscores, empty brackets, runs of white space, and separators at the ends (and, for a
// folder path, around each '/').
QString cleanUpPatternResult(const QString &text, bool trimAroundSlashes);
