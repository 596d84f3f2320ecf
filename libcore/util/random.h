#pragma once

#include <QRandomGenerator>

// The process's one pseudo-random sequence (what scripts' random numbers draw from). The
// application seeds it at start-up; tests seed it to get a known sequence. Not locked: it is
// used by one thread at a time.
QRandomGenerator &processRandomGenerator();
void seedProcessRandomGenerator(quint32 seed);
