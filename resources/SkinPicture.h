#pragma once

#include <QPixmap>
#include <QString>

// The window pictures compiled into the program, by name ("oknowarning", "buttakakt").
// A name that is not there is reported on standard error and gives an empty picture;
// in a complete build every name the windows use is present.
QPixmap SkinPicture(const QString& name);

// Whether the picture is compiled into the program.
bool SkinPictureExists(const QString& name);
