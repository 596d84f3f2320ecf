#include "app/operations/modeloperation.h"

ModelOperation::ModelOperation(const AudioFileSelection &selection, QObject *parent)
    : Operation(parent), m_selection(selection)
{
}
