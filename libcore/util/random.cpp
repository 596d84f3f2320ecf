#include "libcore/util/random.h"

QRandomGenerator &processRandomGenerator()
{
    static QRandomGenerator generator(QRandomGenerator::global()->generate());
    return generator;
}

void seedProcessRandomGenerator(quint32 seed)
{
    processRandomGenerator().seed(seed);
}
