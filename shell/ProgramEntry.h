#pragma once

class QApplication;

// The whole program on an application object: title, every window, the message
// dialog, the start-up and the event loop. Returns the loop's exit code.
int RunProgram(QApplication& app);
