// Picture of the class educational programme editor: the class list with its drop
// button and the two memos.
#include "FreeTextSkin.h"
#include "SkinRegistry.h"

using namespace FreeTextLayout;

namespace {

QImage background()
{
    return FreeTextSkin::background(kRealizationSize,
                                    QStringLiteral("Realizacja programu wychowawczego klasy"),
                                    {{kFirstList, QStringLiteral("Klasa:")},
                                     {kWychGeneral, QStringLiteral("Informacje ogólne:"), true},
                                     {kWychSuccesses, QStringLiteral("Sukcesy, problemy i wnioski:"), true}},
                                    {kDropHotSpot});
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tlorealwych"), background);
    return true;
}();

} // namespace
