#include "engine/settings_store.h"

#include <gtest/gtest.h>

#include <QSettings>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/text_util.h"
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

    // ProgramState owns the filter engine and is not copied; hand one out.
    std::unique_ptr<ProgramState> loaded(const ScreenSize& screen = {}) const
    {
        auto s = std::make_unique<ProgramState>();
        LoadSettings(*s, screen);
        return s;
    }

    TempDir tmp;
};

TEST_F(SettingsStoreTest, EmptyStoreGivesDefaultsCentredOnTheScreen)
{
    ProgramState s;
    // Whatever the record held before is replaced.
    s.caseSensitive = 1;
    s.saveEmptyLines = 0;
    s.sRegExp = "x";
    s.statDupsDeleted = 9;
    LoadSettings(s, ScreenSize{19200, 15360});

    EXPECT_EQ(s.caseSensitive, 0);
    EXPECT_EQ(s.trimLines, 0);
    EXPECT_EQ(s.includeEmptyLines, 0);
    EXPECT_EQ(s.preserveMemory, 0);
    EXPECT_EQ(s.iStartPos, 0);
    EXPECT_EQ(s.sRegExp, "");
    EXPECT_EQ(s.iRegExpMatch, 0);
    EXPECT_EQ(s.trimSaveLines, 0);
    EXPECT_EQ(s.saveEmptyLines, 1);
    EXPECT_EQ(s.saveApplyFilter, 0);
    EXPECT_EQ(s.lastLoadedFile, "");
    EXPECT_EQ(s.statDupsDeleted, 0);
    // 9600 - 3382.5 = 6217.5 -> 6218; 7680 - 3495 = 4185 (6990, not 7300).
    EXPECT_EQ(s.winLeft, 6218);
    EXPECT_EQ(s.winTop, 4185);
    EXPECT_EQ(s.winWidth, 6765);
    EXPECT_EQ(s.winHeight, 7300);
    EXPECT_EQ(s.winState, 0);
    // 9600 - 3547.5 = 6052.5 -> 6052; 7680 - 2827.5 = 4852.5 -> 4852.
    EXPECT_EQ(s.viewWinLeft, 6052);
    EXPECT_EQ(s.viewWinTop, 4852);
    EXPECT_EQ(s.viewWinWidth, 7095);
    EXPECT_EQ(s.viewWinHeight, 5655);
    EXPECT_FALSE(std::filesystem::exists(confPath())) << "loading must not create the store";
}

TEST_F(SettingsStoreTest, ScreenDefaultsRoundHalvesToEven)
{
    // (19198 - 6765) / 2 = 6216.5 -> 6216; a screen far beyond 16 bits is
    // held at the largest edge instead of wrapping.
    EXPECT_EQ(loaded(ScreenSize{19198, 15360})->winLeft, 6216);
    EXPECT_EQ(loaded(ScreenSize{200000, 15360})->winLeft, 32767);
    EXPECT_EQ(loaded(ScreenSize{3000, 3000})->winLeft, -1882);  // 1500 - 3382.5 = -1882.5
}

TEST_F(SettingsStoreTest, RoundTripKeepsEveryField)
{
    ProgramState s;
    s.caseSensitive = 1;
    s.trimLines = 1;
    s.includeEmptyLines = 1;
    s.preserveMemory = 1;
    s.iStartPos = 32767;
    s.sRegExp = "^\"(\\d+)\", [a-z]+ @x; #y";
    s.iRegExpMatch = -1;
    s.sFilterTestBackup = "@Variant(x) 重复 , =";
    s.trimSaveLines = 1;
    s.saveEmptyLines = 0;
    s.saveApplyFilter = 1;
    s.lastLoadedFile = "/home/u/数据/a b.txt";
    s.lastSavedFile = "  leading and trailing  ";
    s.winWidth = 9000;
    s.winHeight = -32768;
    s.viewWinLeft = -15;
    s.viewWinTop = 30;
    s.viewWinWidth = 8000;
    s.viewWinHeight = 6000;
    s.viewWinState = 2;
    s.statFilesOpened = 1;
    s.statLinesScanned = INT32_MAX;
    s.statDupsFound = 3;
    s.statUniqueDupsFound = 4;
    s.statDupsDeleted = 5;
    SaveSettings(s, MainWindowPlacement{WindowState::Normal, 120, 240});

    auto rPtr = loaded();
    ProgramState& r = *rPtr;
    EXPECT_EQ(r.caseSensitive, 1);
    EXPECT_EQ(r.trimLines, 1);
    EXPECT_EQ(r.includeEmptyLines, 1);
    EXPECT_EQ(r.preserveMemory, 1);
    EXPECT_EQ(r.iStartPos, 32767);
    EXPECT_EQ(r.sRegExp, s.sRegExp);
    EXPECT_EQ(r.iRegExpMatch, -1);
    EXPECT_EQ(r.sFilterTestBackup, s.sFilterTestBackup);
    EXPECT_EQ(r.trimSaveLines, 1);
    EXPECT_EQ(r.saveEmptyLines, 0);
    EXPECT_EQ(r.saveApplyFilter, 1);
    EXPECT_EQ(r.lastLoadedFile, s.lastLoadedFile);
    EXPECT_EQ(r.lastSavedFile, s.lastSavedFile);
    EXPECT_EQ(r.winLeft, 120);
    EXPECT_EQ(r.winTop, 240);
    EXPECT_EQ(r.winWidth, 9000);
    EXPECT_EQ(r.winHeight, -32768);
    EXPECT_EQ(r.winState, 0);
    EXPECT_EQ(r.viewWinLeft, -15);
    EXPECT_EQ(r.viewWinTop, 30);
    EXPECT_EQ(r.viewWinWidth, 8000);
    EXPECT_EQ(r.viewWinHeight, 6000);
    EXPECT_EQ(r.viewWinState, 2);
    EXPECT_EQ(r.statFilesOpened, 1);
    EXPECT_EQ(r.statLinesScanned, INT32_MAX);
    EXPECT_EQ(r.statDupsFound, 3);
    EXPECT_EQ(r.statUniqueDupsFound, 4);
    EXPECT_EQ(r.statDupsDeleted, 5);
}

TEST_F(SettingsStoreTest, NormalWindowRefreshesItsEdgesFromWhereItStands)
{
    ProgramState s;
    s.winLeft = 1;
    s.winTop = 2;
    SaveSettings(s, MainWindowPlacement{WindowState::Normal, 100.5, 301.5});
    // Whole twips, halves to even; the record follows too.
    EXPECT_EQ(s.winLeft, 100);
    EXPECT_EQ(s.winTop, 302);
    auto rPtr = loaded();
    ProgramState& r = *rPtr;
    EXPECT_EQ(r.winLeft, 100);
    EXPECT_EQ(r.winTop, 302);
    EXPECT_EQ(r.winState, 0);
}

TEST_F(SettingsStoreTest, MaximisedWindowStoresItsNormalPlacementWithState2)
{
    ProgramState s;
    s.winLeft = 300;
    s.winTop = 400;
    s.winWidth = 8000;
    s.winHeight = 9000;
    SaveSettings(s, MainWindowPlacement{WindowState::Maximized, -60, -60});
    auto rPtr = loaded();
    ProgramState& r = *rPtr;
    EXPECT_EQ(r.winLeft, 300);
    EXPECT_EQ(r.winTop, 400);
    EXPECT_EQ(r.winWidth, 8000);
    EXPECT_EQ(r.winHeight, 9000);
    EXPECT_EQ(r.winState, 2);
}

TEST_F(SettingsStoreTest, MinimisedWindowLeavesThePreviousPlacement)
{
    writeStore("winLeft=11\nwinTop=22\nwinWidth=7000\nwinHeight=8000\nwinState=2\ncaseSensitive=0\n");
    auto sPtr = loaded();
    ProgramState& s = *sPtr;
    s.winLeft = 500;
    s.winWidth = 9999;
    s.winState = 0;
    s.caseSensitive = 1;
    s.viewWinState = 2;
    SaveSettings(s, MainWindowPlacement{WindowState::Minimized, 0, 0});
    auto rPtr = loaded();
    ProgramState& r = *rPtr;
    EXPECT_EQ(r.winLeft, 11);
    EXPECT_EQ(r.winTop, 22);
    EXPECT_EQ(r.winWidth, 7000);
    EXPECT_EQ(r.winHeight, 8000);
    EXPECT_EQ(r.winState, 2);
    EXPECT_EQ(r.caseSensitive, 1);  // the other keys are written
    EXPECT_EQ(r.viewWinState, 2);
}

TEST_F(SettingsStoreTest, EdgeBeyond16BitsIsNotWritten)
{
    writeStore("winLeft=700\nwinTop=800\n");
    auto sPtr = loaded();
    ProgramState& s = *sPtr;
    SaveSettings(s, MainWindowPlacement{WindowState::Normal, 40000.0, 900});
    EXPECT_EQ(s.winLeft, 700);
    auto rPtr = loaded();
    ProgramState& r = *rPtr;
    EXPECT_EQ(r.winLeft, 700);
    EXPECT_EQ(r.winTop, 900);
}

TEST_F(SettingsStoreTest, UnusedKeysKeepWhatWasStoredAcrossRuns)
{
    writeStore("includeEmptyLines=1\ntrimSaveLines=1\n");
    for (int run = 0; run < 3; ++run) {
        auto sPtr = loaded();
    ProgramState& s = *sPtr;
        SaveSettings(s, MainWindowPlacement{});
    }
    std::string text = readFile(confPath());
    EXPECT_NE(text.find("includeEmptyLines=1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("trimSaveLines=1\n"), std::string::npos) << text;
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
    auto sPtr = loaded(ScreenSize{19200, 15360});
    ProgramState& s = *sPtr;
    EXPECT_EQ(s.caseSensitive, 0);
    EXPECT_EQ(s.trimLines, 0);
    EXPECT_EQ(s.saveEmptyLines, 1);
    EXPECT_EQ(s.iStartPos, 0);
    EXPECT_EQ(s.iRegExpMatch, -1);
    EXPECT_EQ(s.winWidth, 6765);
    EXPECT_EQ(s.winHeight, 7300);
    EXPECT_EQ(s.winLeft, 6218);
    EXPECT_EQ(s.winTop, 4185);
    EXPECT_EQ(s.statFilesOpened, 0);
    EXPECT_EQ(s.statLinesScanned, INT32_MAX);
    EXPECT_EQ(s.statDupsDeleted, 12);
    EXPECT_EQ(s.statDupsFound, 0);
}

TEST_F(SettingsStoreTest, SavedFileHoldsEveryValueAsText)
{
    auto sPtr = loaded(ScreenSize{19200, 15360});
    ProgramState& s = *sPtr;
    s.iRegExpMatch = -1;
    s.sRegExp = "a,b";
    s.statDupsFound = 6765;
    SaveSettings(s, MainWindowPlacement{WindowState::Normal, 6217.5, 4185});
    std::string text = readFile(confPath());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find("[Quillow]\n"), 0u) << text;
    for (const char* line : {"caseSensitive=0\n", "saveEmptyLines=1\n", "iRegExpMatch=-1\n", "winLeft=6218\n",
                             "winTop=4185\n", "winWidth=6765\n", "winState=0\n", "viewWinLeft=6052\n",
                             "statDupsFound=6765\n", "lastSavedFile=\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " missing in\n" << text;
    EXPECT_EQ(text.find("@Variant"), std::string::npos) << "numbers must be stored as text:\n" << text;
    // 28 keys, each once.
    int keys = 0;
    for (char c : text)
        keys += c == '=';
    EXPECT_EQ(keys, 28) << text;
    EXPECT_EQ(loaded()->sRegExp, "a,b");
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
