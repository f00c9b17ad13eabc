#include "app/settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QSettings>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/settings/settings_files.h"
#include "engine/text/text_util.h"
#include "support/temp_dir.h"

namespace quillow {
namespace {

using testing::readFile;
using testing::TempDir;

// Every test gets its own store. QSettings caches its search paths on first
// use, so setting XDG_CONFIG_HOME alone only works once per process;
// QSettings::setPath redirects every QSettings created afterwards, and the
// environment variable covers anything that would look it up anew. The user
// scope file then lives at <dir>/Orvandel/Quillow.conf.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string dir = tmp.path().string();
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(dir));
    }

    std::string confPath() const { return (tmp.path() / "Orvandel" / "Quillow.conf").string(); }

    // A store as another run (or a hand edit) left it.
    void writeStore(const std::string& body) const
    {
        std::filesystem::create_directories(tmp.path() / "Orvandel");
        tmp.write("Orvandel/Quillow.conf", "[Quillow]\n" + body);
    }

    Settings loaded(const ScreenSize& screen = {}) const
    {
        Settings s;
        loadSettings(s, screen);
        return s;
    }

    TempDir tmp;
};

TEST_F(SettingsStoreTest, EmptyStoreGivesDefaultsCentredOnTheScreen)
{
    Settings s;
    // Whatever the settings held before is replaced.
    s.options.caseSensitive = true;
    s.options.saveEmptyLines = false;
    s.options.filterPattern = "x";
    s.counters.dupsDeleted = 9;
    loadSettings(s, ScreenSize{19200, 15360});

    EXPECT_FALSE(s.options.caseSensitive);
    EXPECT_FALSE(s.options.trimLines);
    EXPECT_FALSE(s.options.preserveMemory);
    EXPECT_EQ(s.options.startPos, 0);
    EXPECT_EQ(s.options.filterPattern, "");
    EXPECT_EQ(s.options.filterMatch, 0);
    EXPECT_TRUE(s.options.saveEmptyLines);
    EXPECT_FALSE(s.options.saveApplyFilter);
    EXPECT_EQ(s.options.textEncoding, "auto");
    EXPECT_FALSE(s.options.compatForms);
    EXPECT_EQ(s.lastLoadedFile, "");
    EXPECT_EQ(s.counters.dupsDeleted, 0);
    // 9600 - 3382.5 = 6217.5 -> 6218; 7680 - 3495 = 4185 (6990, not 7300).
    EXPECT_EQ(s.mainWindow.left, 6218);
    EXPECT_EQ(s.mainWindow.top, 4185);
    EXPECT_EQ(s.mainWindow.width, 6765);
    EXPECT_EQ(s.mainWindow.height, 7300);
    EXPECT_EQ(s.mainWindow.state, WindowState::Normal);
    // 9600 - 3547.5 = 6052.5 -> 6052; 7680 - 2827.5 = 4852.5 -> 4852.
    EXPECT_EQ(s.viewerWindow.left, 6052);
    EXPECT_EQ(s.viewerWindow.top, 4852);
    EXPECT_EQ(s.viewerWindow.width, 7095);
    EXPECT_EQ(s.viewerWindow.height, 5655);
    EXPECT_FALSE(std::filesystem::exists(confPath())) << "loading must not create the store";
}

TEST_F(SettingsStoreTest, ScreenDefaultsRoundHalvesToEven)
{
    // (19198 - 6765) / 2 = 6216.5 -> 6216; a screen far beyond 16 bits is
    // held at the largest edge instead of wrapping.
    EXPECT_EQ(loaded(ScreenSize{19198, 15360}).mainWindow.left, 6216);
    EXPECT_EQ(loaded(ScreenSize{200000, 15360}).mainWindow.left, 32767);
    EXPECT_EQ(loaded(ScreenSize{3000, 3000}).mainWindow.left, -1882);  // 1500 - 3382.5 = -1882.5
}

TEST_F(SettingsStoreTest, RoundTripKeepsEveryField)
{
    Settings s;
    s.options.caseSensitive = true;
    s.options.trimLines = true;
    s.options.preserveMemory = true;
    s.options.startPos = 32767;
    s.options.filterPattern = "^\"(\\d+)\", [a-z]+ @x; #y";
    s.options.filterMatch = -1;
    s.filterTestText = "@Variant(x) 重复 , =";
    s.options.saveEmptyLines = false;
    s.options.saveApplyFilter = true;
    s.options.textEncoding = "GB18030";
    s.options.compatForms = true;
    s.lastLoadedFile = "/home/u/数据/a b.txt";
    s.lastSavedFile = "  leading and trailing  ";
    s.mainWindow.width = 9000;
    s.mainWindow.height = -32768;
    s.viewerWindow.left = -15;
    s.viewerWindow.top = 30;
    s.viewerWindow.width = 8000;
    s.viewerWindow.height = 6000;
    s.viewerWindow.state = WindowState::Maximized;
    s.counters.filesOpened = 1;
    s.counters.linesScanned = INT32_MAX;
    s.counters.dupsFound = 3;
    s.counters.uniqueDupsFound = 4;
    s.counters.dupsDeleted = 5;
    saveSettings(s, MainWindowPlacement{WindowState::Normal, 120, 240});

    Settings r = loaded();
    EXPECT_TRUE(r.options.caseSensitive);
    EXPECT_TRUE(r.options.trimLines);
    EXPECT_TRUE(r.options.preserveMemory);
    EXPECT_EQ(r.options.startPos, 32767);
    EXPECT_EQ(r.options.filterPattern, s.options.filterPattern);
    EXPECT_EQ(r.options.filterMatch, -1);
    EXPECT_EQ(r.filterTestText, s.filterTestText);
    EXPECT_EQ(r.options.textEncoding, "GB18030");
    EXPECT_TRUE(r.options.compatForms);
    EXPECT_FALSE(r.options.saveEmptyLines);
    EXPECT_TRUE(r.options.saveApplyFilter);
    EXPECT_EQ(r.lastLoadedFile, s.lastLoadedFile);
    EXPECT_EQ(r.lastSavedFile, s.lastSavedFile);
    EXPECT_EQ(r.mainWindow.left, 120);
    EXPECT_EQ(r.mainWindow.top, 240);
    EXPECT_EQ(r.mainWindow.width, 9000);
    EXPECT_EQ(r.mainWindow.height, -32768);
    EXPECT_EQ(r.mainWindow.state, WindowState::Normal);
    EXPECT_EQ(r.viewerWindow.left, -15);
    EXPECT_EQ(r.viewerWindow.top, 30);
    EXPECT_EQ(r.viewerWindow.width, 8000);
    EXPECT_EQ(r.viewerWindow.height, 6000);
    EXPECT_EQ(r.viewerWindow.state, WindowState::Maximized);
    EXPECT_EQ(r.counters.filesOpened, 1);
    EXPECT_EQ(r.counters.linesScanned, INT32_MAX);
    EXPECT_EQ(r.counters.dupsFound, 3);
    EXPECT_EQ(r.counters.uniqueDupsFound, 4);
    EXPECT_EQ(r.counters.dupsDeleted, 5);
}

TEST_F(SettingsStoreTest, NormalWindowRefreshesItsEdgesFromWhereItStands)
{
    Settings s;
    s.mainWindow.left = 1;
    s.mainWindow.top = 2;
    saveSettings(s, MainWindowPlacement{WindowState::Normal, 100.5, 301.5});
    // Whole twips, halves to even; the settings in memory follow too.
    EXPECT_EQ(s.mainWindow.left, 100);
    EXPECT_EQ(s.mainWindow.top, 302);
    Settings r = loaded();
    EXPECT_EQ(r.mainWindow.left, 100);
    EXPECT_EQ(r.mainWindow.top, 302);
    EXPECT_EQ(r.mainWindow.state, WindowState::Normal);
}

TEST_F(SettingsStoreTest, MaximisedWindowStoresItsNormalPlacementWithState2)
{
    Settings s;
    s.mainWindow.left = 300;
    s.mainWindow.top = 400;
    s.mainWindow.width = 8000;
    s.mainWindow.height = 9000;
    saveSettings(s, MainWindowPlacement{WindowState::Maximized, -60, -60});
    Settings r = loaded();
    EXPECT_EQ(r.mainWindow.left, 300);
    EXPECT_EQ(r.mainWindow.top, 400);
    EXPECT_EQ(r.mainWindow.width, 8000);
    EXPECT_EQ(r.mainWindow.height, 9000);
    EXPECT_EQ(r.mainWindow.state, WindowState::Maximized);
}

TEST_F(SettingsStoreTest, MinimisedWindowLeavesThePreviousPlacement)
{
    writeStore("winLeft=11\nwinTop=22\nwinWidth=7000\nwinHeight=8000\nwinState=2\ncaseSensitive=0\n");
    Settings s = loaded();
    s.mainWindow.left = 500;
    s.mainWindow.width = 9999;
    s.mainWindow.state = WindowState::Normal;
    s.options.caseSensitive = true;
    s.viewerWindow.state = WindowState::Maximized;
    saveSettings(s, MainWindowPlacement{WindowState::Minimized, 0, 0});
    Settings r = loaded();
    EXPECT_EQ(r.mainWindow.left, 11);
    EXPECT_EQ(r.mainWindow.top, 22);
    EXPECT_EQ(r.mainWindow.width, 7000);
    EXPECT_EQ(r.mainWindow.height, 8000);
    EXPECT_EQ(r.mainWindow.state, WindowState::Maximized);
    EXPECT_TRUE(r.options.caseSensitive);  // the other keys are written
    EXPECT_EQ(r.viewerWindow.state, WindowState::Maximized);
}

TEST_F(SettingsStoreTest, EdgeBeyond16BitsIsNotWritten)
{
    writeStore("winLeft=700\nwinTop=800\n");
    Settings s = loaded();
    saveSettings(s, MainWindowPlacement{WindowState::Normal, 40000.0, 900});
    EXPECT_EQ(s.mainWindow.left, 700);
    Settings r = loaded();
    EXPECT_EQ(r.mainWindow.left, 700);
    EXPECT_EQ(r.mainWindow.top, 900);
}

// Keys the program no longer reads stay in the store as they were.
TEST_F(SettingsStoreTest, UnusedKeysKeepWhatWasStoredAcrossRuns)
{
    writeStore("includeEmptyLines=1\ntrimSaveLines=1\n");
    for (int run = 0; run < 3; ++run) {
        Settings s = loaded();
        saveSettings(s, MainWindowPlacement{});
    }
    std::string text = readFile(confPath());
    EXPECT_NE(text.find("includeEmptyLines=1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("trimSaveLines=1\n"), std::string::npos) << text;
}

// A FIFO or a folder where the file belongs would block QSettings for good
// (or make it replace the FIFO): such a store is neither read nor written.
TEST_F(SettingsStoreTest, AStoreThatIsNotARegularFileIsLeftAlone)
{
    std::filesystem::create_directories(tmp.path() / "Orvandel");
    for (bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "fifo" : "folder");
        ASSERT_EQ(fifo ? ::mkfifo(confPath().c_str(), 0644) : ::mkdir(confPath().c_str(), 0755), 0);
        EXPECT_EQ(unusableSettingsFile(), confPath());
        Settings s = loaded();
        EXPECT_EQ(s.options.saveEmptyLines, true);  // the defaults
        s.options.caseSensitive = true;
        saveSettings(s, MainWindowPlacement{});
        struct stat st {};
        ASSERT_EQ(::stat(confPath().c_str(), &st), 0);
        EXPECT_EQ(fifo ? S_ISFIFO(st.st_mode) : S_ISDIR(st.st_mode), true);
        std::filesystem::remove(confPath());
    }
    EXPECT_EQ(unusableSettingsFile(), "");
}

TEST_F(SettingsStoreTest, StoredTextsAreReadWithRoundingAndBadOnesGiveTheDefault)
{
    writeStore(
        "caseSensitive=abc\n"         // not a number
        "trimLines=1x\n"              // not a whole number text
        "saveEmptyLines=\n"           // empty: default 1
        "iStartPos=40000\n"           // beyond 16 bits
        "iRegExpMatch=\" -1 \"\n"     // blanks around a number are fine
        "winWidth=-40000\n"
        "winHeight=7300.5\n"          // halves to even
        "winLeft=6217.5\n"
        "winTop=1e3\n"                // exponents are not numbers here
        "statFilesOpened=3000000000\n"  // beyond 32 bits
        "statLinesScanned=2147483647\n"
        "statDupsDeleted=12.5\n"
        "statDupsFound=-0.5\n");
    Settings s = loaded(ScreenSize{19200, 15360});
    EXPECT_FALSE(s.options.caseSensitive);
    EXPECT_FALSE(s.options.trimLines);
    EXPECT_TRUE(s.options.saveEmptyLines);
    EXPECT_EQ(s.options.startPos, 0);
    EXPECT_EQ(s.options.filterMatch, -1);
    EXPECT_EQ(s.mainWindow.width, 6765);
    EXPECT_EQ(s.mainWindow.height, 7300);
    EXPECT_EQ(s.mainWindow.left, 6218);
    EXPECT_EQ(s.mainWindow.top, 4185);
    EXPECT_EQ(s.counters.filesOpened, 0);
    EXPECT_EQ(s.counters.linesScanned, INT32_MAX);
    EXPECT_EQ(s.counters.dupsDeleted, 12);
    EXPECT_EQ(s.counters.dupsFound, 0);
}

TEST_F(SettingsStoreTest, SavedFileHoldsEveryValueAsText)
{
    Settings s = loaded(ScreenSize{19200, 15360});
    s.options.filterMatch = -1;
    s.options.filterPattern = "a,b";
    s.counters.dupsFound = 6765;
    s.recentFiles = {"/data/a, b.txt", "/data/c.txt"};
    s.listFontPoints = 12;
    saveSettings(s, MainWindowPlacement{WindowState::Normal, 6217.5, 4185});
    std::string text = readFile(confPath());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find("[Quillow]\n"), 0u) << text;
    for (const char* line : {"caseSensitive=0\n", "saveEmptyLines=1\n", "iRegExpMatch=-1\n", "winLeft=6218\n",
                             "winTop=4185\n", "winWidth=6765\n", "winState=0\n", "viewWinLeft=6052\n",
                             "statDupsFound=6765\n", "lastSavedFile=\n", "textEncoding=auto\n", "compatForms=0\n",
                             "maxMemory=auto\n", "listFontSize=12\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " missing in\n" << text;
    EXPECT_EQ(text.find("@Variant"), std::string::npos) << "numbers must be stored as text:\n" << text;
    // 31 keys, each once (two keys nothing reads are no longer written).
    int keys = 0;
    for (char c : text)
        keys += c == '=';
    EXPECT_EQ(keys, 31) << text;
    EXPECT_EQ(loaded().options.filterPattern, "a,b");
    // The recent files are one text, a file a line.
    EXPECT_EQ(loaded().recentFiles, s.recentFiles);
    EXPECT_EQ(loaded().listFontPoints, 12);
}

TEST(AddSaturating, HoldsAtTheEndsOfThe32BitRange)
{
    struct Row {
        const char* name;
        int32_t counter;
        int64_t amount;
        int32_t expected;
    };
    const Row rows[] = {
        {"plain", 5, 7, 12},
        {"reaches max", INT32_MAX - 1, 1, INT32_MAX},
        {"passes max", INT32_MAX - 1, 10, INT32_MAX},
        {"huge amount", 0, INT64_MAX, INT32_MAX},
        {"at max stays", INT32_MAX, 1, INT32_MAX},
        {"negative", 0, INT64_MIN, INT32_MIN},
    };
    for (const Row& r : rows)
        EXPECT_EQ(addSaturating(r.counter, r.amount), r.expected) << r.name;
}

}  // namespace
}  // namespace quillow
