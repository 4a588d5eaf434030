#include "record/record_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/private_folder.h"
#include "record/record_store.h"

QString DefaultRecordPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    MakePrivateFolder(folder);
    return folder + QStringLiteral("/lernstand.sqlite");
}

QString DefaultLearner() {
    for (const char* name : {"LOGNAME", "USER", "USERNAME"}) {
        const QString value = qEnvironmentVariable(name).trimmed();
        if (!value.isEmpty()) return value.left(64);
    }
    return QStringLiteral("Lernende(r)");
}

namespace {
// Moves the file and its journal files aside; returns the new name, empty on failure.
QString moveAside(const QString& path, const QDate& today) {
    const QString stem = path + QStringLiteral(".beschaedigt-") + today.toString(Qt::ISODate);
    QString target = stem;
    for (int n = 2; QFileInfo::exists(target); ++n) target = stem + QStringLiteral("-%1").arg(n);
    if (!QFile::rename(path, target)) return {};
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        const QString journal = path + QString::fromLatin1(suffix);
        if (QFileInfo::exists(journal))
            QFile::rename(journal, target + QString::fromLatin1(suffix));
    }
    return target;
}
}  // namespace

RecordOpening PrepareRecordDatabase(const QString& path, const QDate& today) {
    RecordOpening opening;
    bool damaged = false;
    QString error;
    {
        RecordStore store(path);
        if (store.isOpen()) {
            opening.usable = true;
            return opening;
        }
        damaged = store.damaged();
        error = store.error();
    }
    if (!damaged || !QFileInfo::exists(path)) {
        // Locked, read-only or unreadable for now: the file is left as it is.
        opening.message = QStringLiteral(
                              "Der Lernstand lässt sich nicht öffnen (%1). Die Datei bleibt, wie "
                              "sie ist; vorerst wird nichts aufgezeichnet, alles andere geht "
                              "weiter.")
                              .arg(error);
        return opening;
    }
    opening.setAside = moveAside(path, today);
    if (opening.setAside.isEmpty()) {
        opening.message = QStringLiteral(
            "Der Lernstand ist beschädigt und kann nicht "
            "beiseitegelegt werden. Es wird nichts aufgezeichnet.");
        return opening;
    }
    RecordStore fresh(path);
    opening.usable = fresh.isOpen();
    opening.message = opening.usable
                          ? QStringLiteral(
                                "Der Lernstand war beschädigt. Er wurde als „%1“ aufgehoben, ein "
                                "neuer Lernstand ist begonnen.")
                                .arg(QFileInfo(opening.setAside).fileName())
                          : QStringLiteral(
                                "Der Lernstand war beschädigt und ein neuer lässt sich nicht "
                                "anlegen (%1). Es wird nichts aufgezeichnet.")
                                .arg(fresh.error());
    return opening;
}
