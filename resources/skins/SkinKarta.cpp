// Picture of the editor of activities under the teachers' charter: one memo.
#include "FreeTextSkin.h"
#include "SkinRegistry.h"

using namespace FreeTextLayout;

namespace {

QImage background()
{
    return FreeTextSkin::background(
        kFreeTextSize, QStringLiteral("Sprawozdanie z zajęć wynikających z karty"),
        {{kKartaMemo, QStringLiteral("Informacja o prowadzonych zajęciach:"), true}});
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tlokarta"), background);
    return true;
}();

} // namespace
