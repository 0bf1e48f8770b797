#include "SkinRegistry.h"

bool SkinRegistry::add(const QString& name, Painter paint)
{
    mutableEntries().push_back({name, std::move(paint)});
    return true;
}

const std::vector<SkinRegistry::Entry>& SkinRegistry::entries()
{
    return mutableEntries();
}

std::vector<SkinRegistry::Entry>& SkinRegistry::mutableEntries()
{
    // A function-local list, so that skin files may register in any order of static
    // initialisation.
    static std::vector<Entry> list;
    return list;
}
