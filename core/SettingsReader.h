#pragma once

#include "core/AppState.h"

#include <QString>

#include <functional>

// Turns one stored line of the settings file into its plain text; never fails (a
// line it cannot decode gives empty text).
using ValueDecoder = std::function<QString(const QString&)>;

// Reads `state.SettingsFile`: line 0 must decode to exactly "Tabulon", lines 1 to 8
// are the settings; an optional line 9 decoding to kAllowPlainLogin sets
// AllowPlainLogin (later lines are ignored). On success also sets DataFolder and
// TempFolder under `appDataFolder`. False when the file cannot be read, is empty,
// has a wrong marker or fewer than nine lines; settings decoded before a missing
// line keep their new values.
bool ReadSettings(AppState& state, const QString& appDataFolder, const ValueDecoder& decode);

// Whether the settings file at `path` reads as ReadSettings reads one (marker and
// every required line), without touching the program's state: a file is checked
// with it before it may replace the settings in use.
bool SettingsFileIsSound(const QString& path, const ValueDecoder& decode);

// Gives the folders read from the settings their trailing separator: in school
// network mode ("sieciowy") NetworkFolder and UpdateSource get the system's
// separator, in any other mode UpdateSource (then a URL) gets "/". The separator is
// appended even when the value already ends with one.
void NormaliseSettings(Settings& settings);
