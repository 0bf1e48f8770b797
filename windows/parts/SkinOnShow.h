#pragma once

#include <QString>

class QLabel;

// Gives `label` the window picture `name` (SkinPicture.h). Decoding every window's
// pictures at start costs time and memory for windows most runs never open, so the
// picture is decoded only when the label is first shown: with its window, or later
// with the panel it lies on. It is painted for the device pixel ratio of the screen
// the label is shown on. A label that is visible already gets its picture at once; a
// later call replaces a picture that is still waiting.
void SetSkin(QLabel* label, const QString& name);
