// Picture of the head teacher's report editor: its two memos.
#include "FreeTextSkin.h"
#include "SkinRegistry.h"

using namespace FreeTextLayout;

namespace {

QImage background()
{
    return FreeTextSkin::background(
        kFreeTextSize, QStringLiteral("Sprawozdanie dyrektora szkoły"),
        {{kDyrektorTeaching, QStringLiteral("Działalność dydaktyczna, wychowawcza i opiekuńcza:"), true},
         {kDyrektorSupervision, QStringLiteral("Nadzór pedagogiczny, uwagi i wnioski:"), true}});
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tlodyrektor"), background);
    return true;
}();

} // namespace
