#pragma once
// The widgets speak the interface language: the engine's translation for
// the program's own texts, Debian's translation of Qt for Qt's dialogs and
// standard buttons (Simplified Chinese, as the program's texts are written).
#include <QTranslator>
#include <memory>

#include "app/translation.h"

namespace quillow {

// Installs both into the application. Returns Qt's translator, which must
// live as long as it is installed; null when Qt's translation is missing.
std::unique_ptr<QTranslator> installTranslations(Language language);

}  // namespace quillow
