#include "platform/private_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

bool MakePrivateFolder(const QString& path) {
    const QString target = QDir::cleanPath(QDir().absoluteFilePath(path));
    // The missing folders, innermost first.
    QStringList missing;
    for (QString at = target; !QFileInfo::exists(at); at = QFileInfo(at).path()) {
        missing.prepend(at);
        if (QFileInfo(at).path() == at) break;
    }
    constexpr auto kOwnerOnly =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    for (const QString& folder : missing) {
        // Another process may create the same folder at the same moment.
        if (!QDir().mkdir(folder, kOwnerOnly) && !QFileInfo(folder).isDir()) return false;
    }
    return QFileInfo(target).isDir();
}
