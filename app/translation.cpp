#include "app/translation.h"

#include <absl/container/flat_hash_map.h>

#include <QString>
#include <QTranslator>
#include <filesystem>
#include <memory>
#include <mutex>
#include <utility>

#include "engine/text/locale_language.h"

namespace quillow {

namespace {

// The process's translation: like the locale it stands for, set once at
// start-up and read by every text after that, from any thread.
struct Catalogue {
    std::mutex mutex;
    std::unique_ptr<QTranslator> translator;  // null: Chinese
    // Progress texts come every 50 lines: each source is looked up once.
    // Keyed by context and text, not by address: a source need not be a
    // literal.
    absl::flat_hash_map<std::string, std::string> cache;
};

Catalogue& catalogue()
{
    static Catalogue c;
    return c;
}

void install(std::unique_ptr<QTranslator> translator)
{
    Catalogue& c = catalogue();
    std::lock_guard lock(c.mutex);
    c.translator = std::move(translator);
    c.cache.clear();
}

const char* fileStem(Language language) { return language == Language::English ? "quillow_en" : nullptr; }

}  // namespace

Language languageFor(std::string_view localeLanguage)
{
    return isChineseLanguage(localeLanguage) ? Language::Chinese : Language::English;
}

std::vector<std::string> translationFolders()
{
    std::vector<std::string> folders;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        folders.push_back((program.parent_path() / "translations").string());
        folders.push_back((program.parent_path() / "../share/quillow/translations").lexically_normal().string());
    }
#ifdef QUILLOW_TRANSLATIONS_DIR
    folders.push_back(QUILLOW_TRANSLATIONS_DIR);
#endif
    return folders;
}

Language useLanguage(Language language, const std::vector<std::string>& folders)
{
    if (const char* stem = fileStem(language)) {
        auto translator = std::make_unique<QTranslator>();
        for (const std::string& folder : folders) {
            if (translator->load(QString::fromLatin1(stem), QString::fromStdString(folder))) {
                install(std::move(translator));
                return language;
            }
        }
    }
    install(nullptr);
    return Language::Chinese;
}

Language useLocaleLanguage() { return useLanguage(languageFor(localeLanguage())); }

bool useTranslationFile(const std::string& path)
{
    auto translator = std::make_unique<QTranslator>();
    const bool loaded = translator->load(QString::fromStdString(path));
    install(loaded ? std::move(translator) : nullptr);
    return loaded;
}

QTranslator* interfaceTranslator()
{
    Catalogue& c = catalogue();
    std::lock_guard lock(c.mutex);
    return c.translator.get();
}

}  // namespace quillow

namespace quillow::text {

std::string translated(const char* source, const char* context)
{
    Catalogue& c = catalogue();
    std::lock_guard lock(c.mutex);
    if (!c.translator)
        return source;
    auto [entry, fresh] = c.cache.try_emplace(std::string(context) + '\x04' + source);
    if (fresh) {
        const QString translated = c.translator->translate(context, source);
        entry->second = translated.isEmpty() ? std::string(source) : translated.toStdString();
    }
    return entry->second;
}

std::string translatedN(const char* source, int64_t n, const char* context)
{
    std::string pattern = source;
    {
        Catalogue& c = catalogue();
        std::lock_guard lock(c.mutex);
        if (c.translator) {
            // Qt's plural rules take an int; larger counts are plural anyway.
            const int count = n > INT32_MAX ? INT32_MAX : static_cast<int>(n);
            const QString translated = c.translator->translate(context, source, nullptr, count);
            if (!translated.isEmpty())
                pattern = translated.toStdString();
        }
    }
    const std::string number = std::to_string(n);
    std::string out;
    for (size_t at = 0;;) {
        const size_t marker = pattern.find("%n", at);
        out.append(pattern, at, marker == std::string::npos ? std::string::npos : marker - at);
        if (marker == std::string::npos)
            return out;
        out += number;
        at = marker + 2;
    }
}

}  // namespace quillow::text
