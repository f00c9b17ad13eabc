#include "engine/settings_store.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

#include "engine/text_util.h"

namespace quillow {

namespace {

// QSettings needs no QCoreApplication when the names are given here, which
// keeps quillow-cli free of any application object.
class Store {
public:
    Store() : settings_(QSettings::NativeFormat, QSettings::UserScope, "Orvandel", "Quillow")
    {
        settings_.beginGroup("Quillow");
    }

    std::optional<std::string> text(const char* key) const
    {
        QVariant v = settings_.value(QString::fromLatin1(key));
        if (!v.isValid())
            return std::nullopt;
        // A hand-edited INI value with an unquoted comma comes back as a list.
        if (v.typeId() == QMetaType::QStringList)
            return v.toStringList().join(QLatin1Char(',')).toStdString();
        return v.toString().toStdString();
    }

    void write(const char* key, const std::string& value)
    {
        settings_.setValue(QString::fromLatin1(key), QString::fromStdString(value));
    }
    void write(const char* key, int64_t value) { write(key, std::to_string(value)); }

    void sync()
    {
        settings_.endGroup();
        settings_.sync();
    }

private:
    QSettings settings_;
};

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

int32_t read32(const Store& store, const char* key, int32_t fallback)
{
    if (auto stored = store.text(key))
        if (auto n = parseNumber(*stored))
            if (auto v = toInt32(*n))
                return *v;
    return fallback;
}

std::string readText(const Store& store, const char* key)
{
    return store.text(key).value_or(std::string());
}

}  // namespace

void LoadSettings(ProgramState& state, const ScreenSize& screen)
{
    Store store;
    state.caseSensitive = read16(store, "caseSensitive", 0);
    state.trimLines = read16(store, "trimLines", 0);
    state.includeEmptyLines = read16(store, "includeEmptyLines", 0);
    state.preserveMemory = read16(store, "preserveMemory", 0);
    state.iStartPos = read16(store, "iStartPos", 0);
    state.sRegExp = readText(store, "sRegExp");
    state.iRegExpMatch = read16(store, "iRegExpMatch", 0);
    state.sFilterTestBackup = readText(store, "sFilterTestBackup");
    state.trimSaveLines = read16(store, "trimSaveLines", 0);
    state.saveEmptyLines = read16(store, "saveEmptyLines", 1);
    state.saveApplyFilter = read16(store, "saveApplyFilter", 0);
    state.lastLoadedFile = readText(store, "lastLoadedFile");
    state.lastSavedFile = readText(store, "lastSavedFile");
    state.winLeft = read16(store, "winLeft", screen.widthTwips / 2 - 6765.0 / 2);
    // Centres a window 6990 twips high, not the default height of 7300.
    state.winTop = read16(store, "winTop", screen.heightTwips / 2 - 6990.0 / 2);
    state.winWidth = read16(store, "winWidth", 6765);
    state.winHeight = read16(store, "winHeight", 7300);
    state.winState = read16(store, "winState", 0);
    state.viewWinLeft = read16(store, "viewWinLeft", screen.widthTwips / 2 - 7095.0 / 2);
    state.viewWinTop = read16(store, "viewWinTop", screen.heightTwips / 2 - 5655.0 / 2);
    state.viewWinWidth = read16(store, "viewWinWidth", 7095);
    state.viewWinHeight = read16(store, "viewWinHeight", 5655);
    state.viewWinState = read16(store, "viewWinState", 0);
    state.statFilesOpened = read32(store, "statFilesOpened", 0);
    state.statLinesScanned = read32(store, "statLinesScanned", 0);
    state.statDupsFound = read32(store, "statDupsFound", 0);
    state.statUniqueDupsFound = read32(store, "statUniqueDupsFound", 0);
    state.statDupsDeleted = read32(store, "statDupsDeleted", 0);
}

void SaveSettings(ProgramState& state, const MainWindowPlacement& window)
{
    Store store;
    store.write("caseSensitive", state.caseSensitive);
    store.write("trimLines", state.trimLines);
    store.write("includeEmptyLines", state.includeEmptyLines);
    store.write("preserveMemory", state.preserveMemory);
    store.write("iStartPos", state.iStartPos);
    store.write("sRegExp", state.sRegExp);
    store.write("iRegExpMatch", state.iRegExpMatch);
    store.write("sFilterTestBackup", state.sFilterTestBackup);
    store.write("trimSaveLines", state.trimSaveLines);
    store.write("saveEmptyLines", state.saveEmptyLines);
    store.write("saveApplyFilter", state.saveApplyFilter);
    store.write("lastLoadedFile", state.lastLoadedFile);
    store.write("lastSavedFile", state.lastSavedFile);
    store.write("statFilesOpened", state.statFilesOpened);
    store.write("statLinesScanned", state.statLinesScanned);
    store.write("statDupsFound", state.statDupsFound);
    store.write("statUniqueDupsFound", state.statUniqueDupsFound);
    store.write("statDupsDeleted", state.statDupsDeleted);

    // A minimised window leaves the previous run's placement in the store.
    if (window.state != WindowState::Minimized) {
        bool normal = window.state == WindowState::Normal;
        // Only here is a mere move captured (moving raises no resize). An
        // edge beyond the 16-bit range is not written; the stored one stays.
        std::optional<int16_t> left = state.winLeft, top = state.winTop;
        if (normal) {
            left = toInt16(window.left);
            top = toInt16(window.top);
            if (left)
                state.winLeft = *left;
            if (top)
                state.winTop = *top;
        }
        if (left)
            store.write("winLeft", *left);
        if (top)
            store.write("winTop", *top);
        store.write("winWidth", state.winWidth);
        store.write("winHeight", state.winHeight);
        store.write("winState", normal ? 0 : 2);
    }

    store.write("viewWinLeft", state.viewWinLeft);
    store.write("viewWinTop", state.viewWinTop);
    store.write("viewWinWidth", state.viewWinWidth);
    store.write("viewWinHeight", state.viewWinHeight);
    store.write("viewWinState", state.viewWinState);
    store.sync();
}

}  // namespace quillow
