// Picture of the editor of another report for the minutes: what it concerns and the
// information memo.
#include "FreeTextSkin.h"
#include "SkinRegistry.h"

using namespace FreeTextLayout;

namespace {

QImage background()
{
    return FreeTextSkin::background(kInneSize, QStringLiteral("Inne sprawozdanie do protokołu"),
                                    {{kFirstWideLine, QStringLiteral("Sprawozdanie dotyczy:")},
                                     {kInneMemo, QStringLiteral("Informacja:"), true}});
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tloinne"), background);
    return true;
}();

} // namespace
