#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

// Every picture the generator paints, by resource name. Each window's skin file adds
// its pictures from a static initialiser:
//
//     const bool registered = SkinRegistry::add("oknowarning", paintBackground);
//
// The name becomes ":/skins/<name>.jpg" in the program.
class SkinRegistry
{
public:
    using Painter = std::function<QImage()>;

    struct Entry
    {
        QString name;
        Painter paint;
    };

    // Returns true so that it can initialise a file-level constant.
    static bool add(const QString& name, Painter paint);
    static const std::vector<Entry>& entries();

private:
    static std::vector<Entry>& mutableEntries();
};
