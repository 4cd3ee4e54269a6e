#include "CuttingPlan.h"

#include "PieceNaming.h"

#include <algorithm>

namespace engine {

std::string CuttingPlan::piecePath(std::int64_t number) const
{
    return pieceName(basePath, number);
}

std::string CuttingPlan::pieceFileName(std::int64_t number) const
{
    return pieceName(pieceStem, number);
}

std::string CuttingPlan::scriptFileName() const
{
    return scriptName(pieceStem);
}

ByteCount CuttingPlan::lengthOf(std::int64_t number) const
{
    return std::min(pieceLength, sourceLength - (number - 1) * pieceLength);
}

CuttingPlan planCutting(const std::string& source, ByteCount pieceLength, ByteCount sourceLength, char separator)
{
    CuttingPlan plan;
    plan.pieceLength = pieceLength;
    plan.sourceLength = sourceLength;
    plan.pieceCount = sourceLength / pieceLength + (sourceLength % pieceLength != 0);
    plan.basePath = BasisPfad(source, separator);
    plan.folder = runtime::folderPart(plan.basePath, separator);
    plan.pieceStem = NurDateiname(plan.basePath, separator);
    plan.target = NurDateiname(source, separator);
    return plan;
}

} // namespace engine
