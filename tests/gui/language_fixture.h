#pragma once
// Tests that switch the interface language: a private settings store, and
// Chinese again (with the application's font) when the test ends.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QSettings>
#include <QTranslator>
#include <cstdlib>
#include <memory>
#include <string>

#include "gui/translations.h"
#include "support/temp_dir.h"

namespace quillow::testing {

class LanguageFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string dir = store.path().string();
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir));
    }

    void TearDown() override
    {
        QApplication::setFont(font);
        dropTranslations();
        useLanguage(Language::Chinese);
    }

    // The interface and Qt's own dialogs in language.
    void use(Language language)
    {
        dropTranslations();
        if (language == Language::English)
            ASSERT_TRUE(useTranslationFile(QUILLOW_QM_DIR "/quillow_en.qm"));
        else
            useLanguage(Language::Chinese);
        qt = installTranslations(language);
        ASSERT_NE(qt, nullptr) << "Qt's translations are not installed (qt6-translations-l10n)";
    }

    TempDir store, files;
    const QFont font = QApplication::font();
    std::unique_ptr<QTranslator> qt;

private:
    void dropTranslations()
    {
        if (QTranslator* ours = interfaceTranslator())
            QCoreApplication::removeTranslator(ours);
        if (qt)
            QCoreApplication::removeTranslator(qt.get());
    }
};

}  // namespace quillow::testing
