// Picture of the subject curriculum editor: the subject list with its drop button, the
// classes line and the two memos.
#include "FreeTextSkin.h"
#include "SkinRegistry.h"

using namespace FreeTextLayout;

namespace {

QImage background()
{
    return FreeTextSkin::background(
        kRealizationSize, QStringLiteral("Realizacja programu z przedmiotu nauczania"),
        {{kFirstList, QStringLiteral("Przedmiot nauczania:")},
         {kSecondLine, QStringLiteral("Klasy:")},
         {kProgramuGeneral, QStringLiteral("Informacje ogólne:"), true},
         {kProgramuSuccesses, QStringLiteral("Sukcesy, problemy i wnioski:"), true}},
        {kDropHotSpot});
}

const bool registered = [] {
    SkinRegistry::add(QStringLiteral("tlorealprogramu"), background);
    return true;
}();

} // namespace
