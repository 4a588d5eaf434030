#include "platform/user_settings.h"

std::unique_ptr<QSettings> OpenUserSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kAppName,
                                       kAppName);
}
