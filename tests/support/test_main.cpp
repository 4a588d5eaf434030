#include "support/registry.h"

#include <QApplication>
#include <QLocale>
#include <QStandardPaths>
#include <QTest>

#include <cstring>
#include <memory>

namespace testing {
std::vector<std::pair<const char*, Factory>>& registry() {
    static std::vector<std::pair<const char*, Factory>> tests;
    return tests;
}
}  // namespace testing

// Runs every registered class; "-class Name" limits the run to one class, the other arguments
// go to Qt Test as usual.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                      : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    // User settings and data go to a scratch folder, never into the real home.
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const char* only = nullptr;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-class") == 0 && i + 1 < argc) {
            only = argv[++i];
            continue;
        }
        args.push_back(argv[i]);
    }
    int failures = 0;
    for (auto& [name, factory] : testing::registry()) {
        if (only && std::strcmp(only, name) != 0) continue;
        std::unique_ptr<QObject> test(factory());
        failures += QTest::qExec(test.get(), static_cast<int>(args.size()), args.data());
    }
    return failures == 0 ? 0 : 1;
}
