#include "platform/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString FindInstalledDataDir(const QString& executableDir, const QString& relativeDir,
                             const QString& configuredDir) {
    if (!executableDir.isEmpty() && !relativeDir.isEmpty()) {
        const QString beside = QDir::cleanPath(QDir(executableDir).absoluteFilePath(relativeDir));
        if (QFileInfo(beside).isDir()) return beside;
    }
    return configuredDir;
}

QString InstalledDataDirFor(const QString& executableDir) {
    return FindInstalledDataDir(executableDir, QStringLiteral(TRAINER_DATA_DIR_FROM_BIN),
                                QStringLiteral(TRAINER_DATA_DIR));
}

QString InstalledDataDir() { return InstalledDataDirFor(QCoreApplication::applicationDirPath()); }
