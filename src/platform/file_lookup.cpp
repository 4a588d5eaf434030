#include "platform/file_lookup.h"

#include <QDir>
#include <QFileInfo>

#include "platform/services.h"

QString FindFileIn(const QString& folder, const QString& legacyName) {
    QString name = legacyName;
    name.replace(u'\\', u'/');
    while (name.startsWith(QStringLiteral("./"))) name.remove(0, 2);
    const QStringList parts = name.split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty() || folder.isEmpty()) return {};
    QString current = folder;
    for (int i = 0; i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        QDir dir(current);
        // Joined by hand: QDir::filePath takes a part beginning with ":" (the spoken colon,
        // ":.wav") for a Qt resource path and drops the folder.
        const QString exact = current + u'/' + parts[i];
        QFileInfo info(exact);
        if (info.exists() && (last ? info.isFile() : info.isDir())) {
            current = exact;
            continue;
        }
        QString match;
        const auto filter = last ? QDir::Files : QDir::Dirs | QDir::NoDotAndDotDot;
        for (const QString& entry : dir.entryList(filter | QDir::Hidden)) {
            if (entry.compare(parts[i], Qt::CaseInsensitive) == 0) {
                match = current + u'/' + entry;
                break;
            }
        }
        if (match.isEmpty()) return {};
        current = match;
    }
    return current;
}

QString FindDataFile(const QString& legacyName) {
    QString found = FindFileIn(QDir::currentPath(), legacyName);
    if (found.isEmpty()) found = FindFileIn(Platform().installedDataDir, legacyName);
    return found;
}
