// The widget-free half of the file dialogs: filter conversion, the default
// extension and the ask-again loop, driven with a scripted chooser.
#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "app/texts.h"
#include "app/file_filter.h"

namespace quillow {
namespace {

TEST(FileFilter, ProgramFilterListInQtForm)
{
    const std::vector<std::string> expected = {"所有文件(*.*) (*)", "文本文档(*.txt) (*.[tT][xX][tT])"};
    EXPECT_EQ(toQtNameFilters(text::kFileFilter), expected);
}

TEST(FileFilter, ParsingRules)
{
    struct Row {
        const char* name;
        const char* filter;
        std::vector<std::string> qt;
    };
    const Row rows[] = {
        {"several patterns", "Logs|*.log;*.out", {"Logs (*.[lL][oO][gG] *.[oO][uU][tT])"}},
        {"blanks around patterns", "Code | *.c ; *.h ", {"Code (*.[cC] *.[hH])"}},
        {"character classes keep their letters", "Backups|*.[bB]ak", {"Backups (*.[bB][aA][kK])"}},
        {"digits and wildcards unchanged", "Parts|part?.7*", {"Parts ([pP][aA][rR][tT]?.7*)"}},
        {"description without pattern is dropped", "A|*.a|B", {"A (*.[aA])"}},
        {"an empty element ends the list", "A|*.a||*.b|C|*.c", {"A (*.[aA])"}},
        {"empty filter text", "", {}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(toQtNameFilters(r.filter), r.qt) << r.name;
}

TEST(FileFilter, HasExtensionLooksAtTheLastComponentOnly)
{
    EXPECT_TRUE(hasExtension("/home/a/list.txt"));
    EXPECT_TRUE(hasExtension(".profile"));
    EXPECT_FALSE(hasExtension("/home/my.dir/cleaned"));
    EXPECT_FALSE(hasExtension("cleaned"));
    EXPECT_FALSE(hasExtension(""));
}

// A chooser that answers from a script and records what it was shown.
struct Script {
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> startNames;
    std::vector<int> shownIndexes;
    int selectIndex = 0;  // filter the "user" selects; 0 leaves it
    std::set<std::string> existing;
    std::vector<std::string> missing, asked;
    std::deque<bool> overwriteAnswers;

    FileDialogSteps steps()
    {
        FileDialogSteps s;
        s.choose = [this](const std::string& start, int& index) -> std::optional<std::string> {
            startNames.push_back(start);
            shownIndexes.push_back(index);
            if (selectIndex)
                index = selectIndex;
            if (answers.empty())
                return std::nullopt;
            auto a = answers.front();
            answers.pop_front();
            return a;
        };
        s.fileExists = [this](const std::string& p) { return existing.count(p) > 0; };
        s.reportMissing = [this](const std::string& p) { missing.push_back(p); };
        s.confirmOverwrite = [this](const std::string& p) {
            asked.push_back(p);
            bool yes = !overwriteAnswers.empty() && overwriteAnswers.front();
            if (!overwriteAnswers.empty())
                overwriteAnswers.pop_front();
            return yes;
        };
        return s;
    }
};

FileDialogRequest openRequest(const std::string& start = "/data/last.txt")
{
    FileDialogRequest r;
    r.fileName = start;
    r.filter = text::kFileFilter;
    r.filterIndex = 1;
    r.defaultExt = "TXT";
    r.mustExist = true;
    return r;
}

FileDialogRequest saveRequest(const std::string& start = "/data/out.txt")
{
    FileDialogRequest r = openRequest(start);
    r.mustExist = false;
    r.overwritePrompt = true;
    return r;
}

TEST(FileDialogLoop, OpenChoosesAnExistingFile)
{
    Script s;
    s.existing = {"/data/list.txt"};
    s.answers = {"/data/list.txt"};
    s.selectIndex = 2;
    FileDialogRequest r = openRequest();
    ASSERT_TRUE(runFileDialog(FileDialogKind::Open, r, s.steps()));
    EXPECT_EQ(r.fileName, "/data/list.txt");
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(s.startNames, std::vector<std::string>{"/data/last.txt"});
    EXPECT_EQ(s.shownIndexes, std::vector<int>{1});
}

TEST(FileDialogLoop, OpenNameWithoutExtension)
{
    struct Row {
        const char* name;
        std::set<std::string> existing;
        std::string typed;
        std::string opened;  // empty: reported missing, then cancelled
    };
    const Row rows[] = {
        {"existing name is taken as it is", {"/d/README", "/d/README.txt"}, "/d/README", "/d/README"},
        {"lower-case default extension", {"/d/notes.txt"}, "/d/notes", "/d/notes.txt"},
        {"extension as given", {"/d/notes.TXT"}, "/d/notes", "/d/notes.TXT"},
        {"lower case wins when both exist", {"/d/notes.TXT", "/d/notes.txt"}, "/d/notes", "/d/notes.txt"},
        {"a name with a dot gets nothing added", {"/d/a.b.txt"}, "/d/a.b", ""},
        {"nothing found", {}, "/d/nothing", ""},
    };
    for (const Row& row : rows) {
        Script s;
        s.existing = row.existing;
        s.answers = {row.typed};  // a second showing is cancelled
        FileDialogRequest r = openRequest();
        const bool chosen = runFileDialog(FileDialogKind::Open, r, s.steps());
        EXPECT_EQ(chosen, !row.opened.empty()) << row.name;
        EXPECT_EQ(r.fileName, row.opened) << row.name;
        if (row.opened.empty()) {
            EXPECT_EQ(s.missing, std::vector<std::string>{row.typed}) << row.name;
            // Shown again with what was typed.
            EXPECT_EQ(s.startNames, (std::vector<std::string>{"/data/last.txt", row.typed})) << row.name;
        }
    }
}

TEST(FileDialogLoop, OpenAsksAgainUntilTheFileExists)
{
    Script s;
    s.existing = {"/d/b.txt"};
    s.answers = {"/d/a.txt", "/d/b.txt"};
    FileDialogRequest r = openRequest();
    ASSERT_TRUE(runFileDialog(FileDialogKind::Open, r, s.steps()));
    EXPECT_EQ(r.fileName, "/d/b.txt");
    EXPECT_EQ(s.missing, std::vector<std::string>{"/d/a.txt"});
}

TEST(FileDialogLoop, CancelClearsTheRequest)
{
    Script s;
    FileDialogRequest open = openRequest();
    EXPECT_FALSE(runFileDialog(FileDialogKind::Open, open, s.steps()));
    EXPECT_EQ(open.fileName, "");
    EXPECT_EQ(open.filterIndex, -1);

    FileDialogRequest save = saveRequest();
    EXPECT_FALSE(runFileDialog(FileDialogKind::Save, save, s.steps()));
    EXPECT_EQ(save.fileName, "");
    EXPECT_EQ(save.filterIndex, 0);

    s.answers = {std::string()};  // an empty name counts as cancel
    FileDialogRequest empty = saveRequest();
    EXPECT_FALSE(runFileDialog(FileDialogKind::Save, empty, s.steps()));
}

TEST(FileDialogLoop, SaveAddsTheDefaultExtension)
{
    struct Row {
        const char* name;
        std::string typed, ext, saved;
    };
    const Row rows[] = {
        {"no extension", "/out/cleaned", "TXT", "/out/cleaned.txt"},
        {"extension typed", "/out/cleaned.csv", "TXT", "/out/cleaned.csv"},
        {"dot in the folder only", "/my.dir/cleaned", "TXT", "/my.dir/cleaned.txt"},
        {"leading dot in the default", "/out/cleaned", ".Log", "/out/cleaned.log"},
        {"no default extension", "/out/cleaned", "", "/out/cleaned"},
    };
    for (const Row& row : rows) {
        Script s;
        s.answers = {row.typed};
        FileDialogRequest r = saveRequest();
        r.defaultExt = row.ext;
        ASSERT_TRUE(runFileDialog(FileDialogKind::Save, r, s.steps())) << row.name;
        EXPECT_EQ(r.fileName, row.saved) << row.name;
        EXPECT_TRUE(s.asked.empty()) << row.name;
    }
}

TEST(FileDialogLoop, SaveOverExistingFileNeedsConfirmation)
{
    Script s;
    s.existing = {"/out/cleaned.txt"};
    s.answers = {"/out/cleaned", "/out/cleaned", "/out/other"};
    s.overwriteAnswers = {false, true};
    FileDialogRequest r = saveRequest();
    ASSERT_TRUE(runFileDialog(FileDialogKind::Save, r, s.steps()));
    EXPECT_EQ(r.fileName, "/out/cleaned.txt");
    // The question names the file with its extension; a No shows the dialog again there.
    EXPECT_EQ(s.asked, (std::vector<std::string>{"/out/cleaned.txt", "/out/cleaned.txt"}));
    EXPECT_EQ(s.startNames, (std::vector<std::string>{"/data/out.txt", "/out/cleaned.txt"}));
}

TEST(FileDialogLoop, NoOverwriteQuestionWithoutThePrompt)
{
    Script s;
    s.existing = {"/out/x.txt"};
    s.answers = {"/out/x.txt"};
    FileDialogRequest r = saveRequest();
    r.overwritePrompt = false;
    ASSERT_TRUE(runFileDialog(FileDialogKind::Save, r, s.steps()));
    EXPECT_TRUE(s.asked.empty());
}

}  // namespace
}  // namespace quillow
