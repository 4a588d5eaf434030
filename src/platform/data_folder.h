#pragma once

#include <QString>

// The installed data folder of a program in `executableDir`: `relativeDir` (share/morse-trainer
// as seen from bin/) when that folder exists, so an installation under any prefix finds its
// data; otherwise `configuredDir`, the folder the build was configured to install into.
QString FindInstalledDataDir(const QString& executableDir, const QString& relativeDir,
                             const QString& configuredDir);

// The same for a program of this build in `executableDir`.
QString InstalledDataDirFor(const QString& executableDir);

// The same for the running program.
QString InstalledDataDir();
