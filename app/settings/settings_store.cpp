#include "app/settings/settings_store.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <variant>

#include "engine/runtime/memory_limit.h"
#include "app/settings/settings_files.h"
#include "engine/text/text_encoding.h"
#include "engine/text/text_util.h"

namespace quillow {

namespace {

// QSettings needs no QCoreApplication when the names are given here, which
// keeps quillow-cli free of any application object. A store whose file is
// not a regular file is not touched: every key reads as its default and
// nothing is written.
class Store {
public:
    Store()
    {
        if (!unusableSettingsFile().empty())
            return;
        settings_.emplace(QSettings::NativeFormat, QSettings::UserScope, "Orvandel", "Quillow");
        settings_->beginGroup("Quillow");
    }

    std::string fileName() const { return settings_ ? settings_->fileName().toStdString() : unusableSettingsFile(); }

    std::optional<std::string> text(const char* key) const
    {
        if (!settings_)
            return std::nullopt;
        QVariant v = settings_->value(QString::fromLatin1(key));
        if (!v.isValid())
            return std::nullopt;
        // A hand-edited INI value with an unquoted comma comes back as a list.
        if (v.typeId() == QMetaType::QStringList)
            return v.toStringList().join(QLatin1Char(',')).toStdString();
        return v.toString().toStdString();
    }

    void write(const char* key, const std::string& value)
    {
        if (settings_)
            settings_->setValue(QString::fromLatin1(key), QString::fromStdString(value));
    }

    void sync()
    {
        if (!settings_)
            return;
        settings_->endGroup();
        settings_->sync();
    }

private:
    std::optional<QSettings> settings_;
};

template <typename T>
using Field = T& (*)(Settings&);

// A default, which may depend on the screen (the centred window edges).
using Default = double (*)(const ScreenSize&);

// Which keys belong to the main window's placement: they follow its own
// rule when saved.
enum class Group { Plain, MainWindow };

struct StoredKey {
    const char* key;
    // On/off options are stored as 1 / 0 and read as on when not 0; 16-bit
    // and 32-bit numbers as their decimal text; texts as they are.
    std::variant<Field<bool>, Field<int16_t>, Field<int32_t>, Field<std::string>, Field<WindowState>,
                 Field<std::vector<std::string>>>
        field;
    Default fallback;
    Group group = Group::Plain;
    const char* textFallback = "";  // the default of a text
};

#define QUILLOW_FIELD(expr) [](Settings& s) -> auto& { return s.expr; }
#define QUILLOW_VALUE(v) [](const ScreenSize&) { return double(v); }

const StoredKey kKeys[] = {
    {"caseSensitive", QUILLOW_FIELD(options.caseSensitive), QUILLOW_VALUE(0)},
    {"trimLines", QUILLOW_FIELD(options.trimLines), QUILLOW_VALUE(0)},
    {"preserveMemory", QUILLOW_FIELD(options.preserveMemory), QUILLOW_VALUE(0)},
    {"iStartPos", QUILLOW_FIELD(options.startPos), QUILLOW_VALUE(0)},
    {"sRegExp", QUILLOW_FIELD(options.filterPattern), nullptr},
    {"iRegExpMatch", QUILLOW_FIELD(options.filterMatch), QUILLOW_VALUE(0)},
    {"sFilterTestBackup", QUILLOW_FIELD(filterTestText), nullptr},
    {"saveEmptyLines", QUILLOW_FIELD(options.saveEmptyLines), QUILLOW_VALUE(1)},
    {"saveApplyFilter", QUILLOW_FIELD(options.saveApplyFilter), QUILLOW_VALUE(0)},
    {"textEncoding", QUILLOW_FIELD(options.textEncoding), nullptr, Group::Plain, kAutoEncoding},
    {"compatForms", QUILLOW_FIELD(options.compatForms), QUILLOW_VALUE(0)},
    {"maxMemory", QUILLOW_FIELD(options.maxMemory), nullptr, Group::Plain, kAutoMemory},
    {"lastLoadedFile", QUILLOW_FIELD(lastLoadedFile), nullptr},
    {"lastSavedFile", QUILLOW_FIELD(lastSavedFile), nullptr},
    {"recentFiles", QUILLOW_FIELD(recentFiles), nullptr},
    {"listFontSize", QUILLOW_FIELD(listFontPoints), QUILLOW_VALUE(0)},
    {"winLeft", QUILLOW_FIELD(mainWindow.left),
     [](const ScreenSize& s) { return s.widthTwips / 2 - kMainWindowWidth / 2.0; }, Group::MainWindow},
    // Centres a window 6990 twips high, not one of the default height.
    {"winTop", QUILLOW_FIELD(mainWindow.top), [](const ScreenSize& s) { return s.heightTwips / 2 - 6990.0 / 2; },
     Group::MainWindow},
    {"winWidth", QUILLOW_FIELD(mainWindow.width), QUILLOW_VALUE(kMainWindowWidth), Group::MainWindow},
    {"winHeight", QUILLOW_FIELD(mainWindow.height), QUILLOW_VALUE(kMainWindowHeight), Group::MainWindow},
    {"winState", QUILLOW_FIELD(mainWindow.state), QUILLOW_VALUE(0), Group::MainWindow},
    {"viewWinLeft", QUILLOW_FIELD(viewerWindow.left),
     [](const ScreenSize& s) { return s.widthTwips / 2 - kViewerWidth / 2.0; }},
    {"viewWinTop", QUILLOW_FIELD(viewerWindow.top),
     [](const ScreenSize& s) { return s.heightTwips / 2 - kViewerHeight / 2.0; }},
    {"viewWinWidth", QUILLOW_FIELD(viewerWindow.width), QUILLOW_VALUE(kViewerWidth)},
    {"viewWinHeight", QUILLOW_FIELD(viewerWindow.height), QUILLOW_VALUE(kViewerHeight)},
    {"viewWinState", QUILLOW_FIELD(viewerWindow.state), QUILLOW_VALUE(0)},
    {"statFilesOpened", QUILLOW_FIELD(counters.filesOpened), QUILLOW_VALUE(0)},
    {"statLinesScanned", QUILLOW_FIELD(counters.linesScanned), QUILLOW_VALUE(0)},
    {"statDupsFound", QUILLOW_FIELD(counters.dupsFound), QUILLOW_VALUE(0)},
    {"statUniqueDupsFound", QUILLOW_FIELD(counters.uniqueDupsFound), QUILLOW_VALUE(0)},
    {"statDupsDeleted", QUILLOW_FIELD(counters.dupsDeleted), QUILLOW_VALUE(0)},
};

#undef QUILLOW_FIELD
#undef QUILLOW_VALUE

// The default is turned into text first and then read like a stored value,
// so a centred edge of 6217.5 twips becomes 6218 (halves to even).
std::string defaultText(double v)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

int16_t read16(const Store& store, const char* key, double fallback)
{
    if (auto stored = store.text(key))
        if (auto n = parseNumber(*stored))
            if (auto v = toInt16(*n))
                return *v;
    if (auto n = parseNumber(defaultText(fallback)))
        if (auto v = toInt16(*n))
            return *v;
    // A screen so large that the centred edge leaves the 16-bit range.
    return static_cast<int16_t>(std::clamp(fallback, double{INT16_MIN}, double{INT16_MAX}));
}

int32_t read32(const Store& store, const char* key, double fallback)
{
    if (auto stored = store.text(key))
        if (auto n = parseNumber(*stored))
            if (auto v = toInt32(*n))
                return *v;
    return static_cast<int32_t>(fallback);
}

// A list is stored as one text, an item a line (file names hold no line breaks).
std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> items;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        if (end > from)
            items.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return items;
}

std::string joinLines(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items) {
        if (item.empty() || item.find('\n') != std::string::npos)
            continue;
        if (!text.empty())
            text += '\n';
        text += item;
    }
    return text;
}

struct Reader {
    const Store& store;
    const StoredKey& k;
    const ScreenSize& screen;
    Settings& s;
    double fallback() const { return k.fallback ? k.fallback(screen) : 0; }
    void operator()(Field<bool> f) const { f(s) = read16(store, k.key, fallback()) != 0; }
    void operator()(Field<int16_t> f) const { f(s) = read16(store, k.key, fallback()); }
    void operator()(Field<int32_t> f) const { f(s) = read32(store, k.key, fallback()); }
    void operator()(Field<std::string> f) const { f(s) = store.text(k.key).value_or(std::string(k.textFallback)); }
    void operator()(Field<WindowState> f) const { f(s) = static_cast<WindowState>(read16(store, k.key, fallback())); }
    void operator()(Field<std::vector<std::string>> f) const
    {
        f(s) = splitLines(store.text(k.key).value_or(std::string()));
    }
};

std::string storedText(Settings& s, const StoredKey& k)
{
    struct Writer {
        Settings& s;
        std::string operator()(Field<bool> f) const { return f(s) ? "1" : "0"; }
        std::string operator()(Field<int16_t> f) const { return std::to_string(f(s)); }
        std::string operator()(Field<int32_t> f) const { return std::to_string(f(s)); }
        std::string operator()(Field<std::string> f) const { return f(s); }
        std::string operator()(Field<WindowState> f) const { return std::to_string(static_cast<int16_t>(f(s))); }
        std::string operator()(Field<std::vector<std::string>> f) const { return joinLines(f(s)); }
    };
    return std::visit(Writer{s}, k.field);
}

}  // namespace

void loadSettings(Settings& settings, const ScreenSize& screen)
{
    Store store;
    for (const StoredKey& k : kKeys)
        std::visit(Reader{store, k, screen, settings}, k.field);
}

std::string settingsFileName() { return Store().fileName(); }

void saveSettings(Settings& settings, const MainWindowPlacement& window)
{
    WindowPlacement& main = settings.mainWindow;
    // Only here is a mere move captured (moving raises no resize). An edge
    // beyond the 16-bit range is not written; the stored one stays.
    bool leftFits = true, topFits = true;
    if (window.state == WindowState::Normal) {
        std::optional<int16_t> left = toInt16(window.left), top = toInt16(window.top);
        leftFits = left.has_value();
        topFits = top.has_value();
        main.left = left.value_or(main.left);
        main.top = top.value_or(main.top);
    }
    if (window.state != WindowState::Minimized)
        main.state = window.state == WindowState::Normal ? WindowState::Normal : WindowState::Maximized;

    Store store;
    for (const StoredKey& k : kKeys) {
        if (k.group == Group::MainWindow) {
            // A minimised window leaves the previous run's placement in the store.
            if (window.state == WindowState::Minimized)
                continue;
            if ((k.key == std::string_view("winLeft") && !leftFits) || (k.key == std::string_view("winTop") && !topFits))
                continue;
        }
        store.write(k.key, storedText(settings, k));
    }
    store.sync();
}

}  // namespace quillow
