#pragma once
// The language the locale names, as the interface and the encoding
// detection take it: the first entry of LANGUAGE, else LC_ALL, LC_MESSAGES
// or LANG, the first of them set and not empty.
#include <string>
#include <string_view>

namespace quillow {

// "" when none of them names one.
std::string localeLanguage();

// True for a Chinese language or locale name: zh, zh_CN.UTF-8, zh_TW, zh-Hant.
bool isChineseLanguage(std::string_view name);

// The two together: the locale's first language is Chinese.
inline bool localeIsChinese() { return isChineseLanguage(localeLanguage()); }

}  // namespace quillow
