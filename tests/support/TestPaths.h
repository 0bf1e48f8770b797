#pragma once

#include <QString>

// Folders of the source tree and the build tree, as CTest passes them to every test.
namespace TestPaths {
QString sourceDir();        // the repository root
QString binaryDir();        // the build folder
QString testData(const QString& relative); // tests/<relative> in the source tree
} // namespace TestPaths
