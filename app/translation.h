#pragma once
// The interface language. Every text is written in Chinese, the source
// language; English comes from a Qt Linguist translation (quillow_en.qm)
// for every locale that does not ask for Chinese. The texts are marked for lupdate with
// QT_TRANSLATE_NOOP where they are defined and translated where they are
// shown. One language per process, chosen in main before the first text is
// made; quillow-cli needs no QCoreApplication for it.
#include <QtGlobal>
#include <cstdint>
#include <initializer_list>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

class QTranslator;

namespace quillow {

enum class Language { Chinese, English };

// Chinese when the locale's first language (engine/text/locale_language.h)
// is Chinese (zh*); English for every other one, C, POSIX, none and
// languages without a translation included.
Language languageFor(std::string_view localeLanguage);

// Where quillow_<language>.qm is looked for: beside the program (a build
// tree), ../share/quillow/translations from it, the installed data folder.
std::vector<std::string> translationFolders();

// Makes language the interface language, its translation looked for in
// folders. Returns the language in use: Chinese when the translation is
// missing.
Language useLanguage(Language language, const std::vector<std::string>& folders = translationFolders());
// The locale's language, made the interface language.
Language useLocaleLanguage();
// A translation file made the interface's (the man page tool, tests); false,
// and Chinese, when it cannot be read.
bool useTranslationFile(const std::string& path);
// The translation in use, for the desktop program to install for its own
// texts; null while the interface is Chinese.
QTranslator* interfaceTranslator();

}  // namespace quillow

namespace quillow::text {

// The lupdate context of the engine's texts.
inline constexpr const char* kContext = "quillow::text";

// A source text in the interface language.
std::string translated(const char* source, const char* context = kContext);
// A text with a count: the form the translation gives for n, "%n" replaced
// by n.
std::string translatedN(const char* source, int64_t n, const char* context = kContext);
// "%1" to "%9" replaced by the arguments in one pass (QString::arg with all
// of them at once): an argument is never searched for markers itself.
template <typename... Args>
std::string arg(std::string_view pattern, const Args&... args)
{
    const auto utf16 = [](std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); };
    return utf16(pattern).arg(utf16(args)...).toStdString();
}

}  // namespace quillow::text
