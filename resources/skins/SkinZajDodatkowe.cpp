// Picture of the additional activities editor: the activity line and the report memo.
#include "FreeTextSkin.h"
#include "SkinRegistry.h"

using namespace FreeTextLayout;

namespace {

QImage background()
{
    return FreeTextSkin::background(kFreeTextSize,
                                    QStringLiteral("Sprawozdanie z prowadzonych zajęć dodatkowych"),
                                    {{kFirstWideLine, QStringLiteral("Prowadzone zajęcia:")},
                                     {kMemoUnderLine, QStringLiteral("Sprawozdanie:"), true}});
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tlozajdodatkowe"), background);
    return true;
}();

} // namespace
