#include "platform/user_settings.h"

#include <QFileInfo>

#include "platform/private_folder.h"

namespace {
// A file that is read whole at every start has no business being larger than a few KB; past
// this it is left unread.
constexpr qint64 kMaxUserSettingsBytes = 64 * 1024;

bool TooLarge(const QString& path) { return QFileInfo(path).size() > kMaxUserSettingsBytes; }

// A format that reads nothing and writes nothing: it stands in for a refused file, so the
// program runs on defaults and the file stays as the user left it.
bool ReadNothing(QIODevice&, QSettings::SettingsMap&) { return true; }
bool WriteNothing(QIODevice&, const QSettings::SettingsMap&) { return false; }

QSettings::Format Unread() {
    static const QSettings::Format unread =
        QSettings::registerFormat(QStringLiteral("unread"), ReadNothing, WriteNothing);
    return unread;
}
}  // namespace

QString UserSettingsPath() {
    // Where QSettings keeps the file, asked of it without reading the file: QSettings shares
    // what it has read of a file among all its objects for that name, so the stand-in has a
    // name of its own.
    QString path = QSettings(Unread(), QSettings::UserScope, kAppName, kAppName).fileName();
    path.chop(QStringLiteral("unread").size());
    return path + QStringLiteral("conf");
}

std::unique_ptr<QSettings> OpenUserSettings() {
    const QString path = UserSettingsPath();
    if (TooLarge(path)) return std::make_unique<QSettings>(path, Unread());
    // Qt would create the folder on the first write with everyone's read access.
    MakePrivateFolder(QFileInfo(path).path());
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kAppName,
                                       kAppName);
}

QString UserSettingsProblem() {
    const QString path = UserSettingsPath();
    if (!TooLarge(path)) return {};
    return QStringLiteral(
               "Die Einstellungsdatei „%1“ ist größer als %2 KB und wird nicht gelesen. Zoom "
               "und Bandbedingungen stehen auf ihren Voreinstellungen; die Datei bleibt "
               "unverändert.")
        .arg(path)
        .arg(kMaxUserSettingsBytes / 1024);
}
