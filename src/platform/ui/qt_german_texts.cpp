#include "platform/ui/qt_german_texts.h"

#include <QLibraryInfo>
#include <QTranslator>

std::unique_ptr<QTranslator> LoadGermanQtTexts() {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_de"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return nullptr;
    }
    return translator;
}
