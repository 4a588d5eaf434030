#include "platform/display_meaning.h"

QString& DisplayMeaning() {
    static QString meaning;
    return meaning;
}
