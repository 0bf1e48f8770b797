#pragma once

class QApplication;

// The whole program on an application object: title, every window, the message
// dialog, the start-up and the event loop. Returns the loop's exit code.
int RunProgram(QApplication& app);

// Installs the toolkit's own texts in Polish; false when no translation was found
// (the toolkit then speaks English).
bool InstallPolishToolkitTexts(QApplication& app);
