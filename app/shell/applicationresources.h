#pragma once

#include <QStringList>

// Mounts what the program, its tools, benchmarks and tests all need, in this order: the
// libraries' packages under ":/" and their base names, the application's own package under
// ":/app", then each extra package (a tool's or a benchmark's own) under ":/" and its base
// name. Then checks that the identification's data tables are there and not empty. Throws
// the first failure; once it succeeded, a second call does nothing.
void registerApplicationResources(const QStringList &extraPackages = {});
