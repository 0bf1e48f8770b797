#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

// The window pictures compiled into the program, by name ("oknowarning", "buttakakt").
// Each is there twice: painted for ordinary screens and at twice the density
// ("<name>@2x") for high-density ones. A name that is not there is reported on
// standard error and gives an empty picture; in a complete build every name the
// windows use is present. Windows give their labels pictures through SetSkin
// (SkinOnShow.h), which waits until the label is shown.
//
// A `devicePixelRatio` above 1 gives the high-density painting with that ratio set
// to 2, so that it covers the same window pixels as the plain one; screens at 150 %
// take it too and the toolkit scales it down, which stays sharper than scaling up.
QPixmap SkinPicture(const QString& name, qreal devicePixelRatio = 1.0);

// The same picture decoded into an image; unlike SkinPicture, this may be called on
// any thread.
QImage SkinImage(const QString& name, qreal devicePixelRatio = 1.0);

// Whether a screen of `devicePixelRatio` takes the high-density paintings.
bool SkinPictureIsHighDensity(qreal devicePixelRatio);

// Whether the picture is compiled into the program.
bool SkinPictureExists(const QString& name);

// How many pictures this run has asked for so far: the measure of what start-up
// decodes.
int SkinPicturesLoaded();
