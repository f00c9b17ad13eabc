// The options dialog's filter tryout, driven through a scripted host.
#include "app/filter_tryout.h"

#include <gtest/gtest.h>

#include <string>

#include "app/texts.h"
#include "support/recording_front_end.h"

namespace quillow {
namespace {

class FilterTryout : public ::testing::Test {
protected:
    ScanResult scan;
    std::string lastText;
    testing::RecordingFrontEnd host;
    FilterDialogValues controls;

    void SetUp() override
    {
        scan.source = std::make_shared<SourceLines>("first\nsecond 2\nthird 33 x 4\nfourth\n");
        controls.pattern = "\\d+";
    }

    // Runs the test with one scripted answer; returns the single message text
    // ("" when none was shown) and checks its style.
    std::string run(std::optional<std::string> input, Icon icon = Icon::Information)
    {
        host.messages.clear();
        host.inputs.push_back(std::move(input));
        tryFilter(lastText, scan, host, controls);
        if (host.messages.empty())
            return {};
        EXPECT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].icon, icon);
        return host.messages[0].text;
    }
    static std::string shown(const std::string& result) { return "你的过滤返回下述结果:\r\n\r\n" + result; }
    static constexpr const char* kFailed = "执行失败！正则表达式可能有语法错误...";
};

TEST_F(FilterTryout, LineNumberTakesSourceLineInAnyCase)
{
    for (const char* input : {"line=3", "Line=3", "LINE= 3"}) {
        lastText = "before";
        EXPECT_EQ(run(input), shown("334")) << input;
        EXPECT_EQ(lastText, "third 33 x 4") << input;
        EXPECT_EQ(host.inputPresets.back(), "before");
    }
    EXPECT_EQ(host.inputPrompts.back(),
              "请输入一个行以便用你的过滤测试。你也可以键入 line=# 在这里 # 为当前载入文件的行号");
}

TEST_F(FilterTryout, NothingToTestShowsNothing)
{
    lastText = "kept";
    for (std::optional<std::string> input :
         {std::optional<std::string>(), std::optional<std::string>("   "), std::optional<std::string>("line=5"),
          std::optional<std::string>("line=99")}) {
        EXPECT_EQ(run(input), "") << input.value_or("(cancel)");
        EXPECT_EQ(lastText, "kept");
    }
    // No scan yet: the source box is empty.
    scan.source.reset();
    EXPECT_EQ(run("line=1"), "");
}

TEST_F(FilterTryout, ResultBySelectorText)
{
    struct Row {
        const char* match;
        std::string message;
        Icon icon;
    };
    const Row rows[] = {
        {"0", shown("12345"), Icon::Information},   {"1", shown("12"), Icon::Information},
        {"-1", shown("45"), Icon::Information},     {"3", shown("45"), Icon::Information},
        {"4", shown("(空)"), Icon::Information},    {"00", kFailed, Icon::Critical},
        {"-2", kFailed, Icon::Critical},            {"", kFailed, Icon::Critical},
    };
    for (const Row& r : rows) {
        controls.matchText = r.match;
        EXPECT_EQ(run("a12b3c45", r.icon), r.message) << "match text " << r.match;
    }
}

TEST_F(FilterTryout, Failures)
{
    controls.matchText = "-1";
    EXPECT_EQ(run("no digits", Icon::Critical), kFailed);
    EXPECT_EQ(lastText, "no digits");  // remembered before the test ran

    controls.matchText = "0";
    controls.pattern = "(";
    EXPECT_EQ(run("abc", Icon::Critical), kFailed);
    controls.pattern = "\\d";
    EXPECT_EQ(run("line=0", Icon::Critical), kFailed);
    controls.startPosText = "-3";
    EXPECT_EQ(run("a1", Icon::Critical), kFailed);
}

TEST_F(FilterTryout, UsesTheDialogsValues)
{
    controls.pattern = "^.*$";
    controls.trimChecked = true;
    controls.startPosText = "2";
    EXPECT_EQ(run("  äöabc  "), shown("abc"));

    controls.trimChecked = false;
    controls.startPosText = "0";
    controls.pattern = "abc";
    controls.caseChecked = true;
    EXPECT_EQ(run("xABC"), shown("(空)"));
    controls.caseChecked = false;
    EXPECT_EQ(run("xABC"), shown("ABC"));

    // No pattern (blanks alone included) is no filter: the line is compared
    // whole, after the blanks and the start offset.
    const std::string noFilter = text::translated(text::kFilterTestNoFilter);
    for (const char* pattern : {"", "  "}) {
        controls.pattern = pattern;
        controls.trimChecked = true;
        controls.startPosText = "1";
        EXPECT_EQ(run("  xABC "), noFilter + "ABC") << "pattern '" << pattern << "'";
    }
}

TEST_F(FilterTryout, LinesOfOtherEncodingsAreTestedDecoded)
{
    // GB18030 "  你好 12\xFF" and an invalid byte shown as U+FFFD.
    scan.source = std::make_shared<SourceLines>("  \xC4\xE3\xBA\xC3 12\xFF\n");
    scan.encoding.encoding = *encodingNamed("GB18030").encoding;
    controls.pattern = "\\S+";
    controls.trimChecked = true;
    controls.startPosText = "1";
    EXPECT_EQ(run("line=1"), shown("好12\xEF\xBF\xBD"));
    EXPECT_EQ(lastText, "  你好 12\xEF\xBF\xBD");
}

TEST_F(FilterTryout, BigFileLinesServeUntilReleasedThenOnlyThePlaceholder)
{
    scan.bigFile = true;
    EXPECT_EQ(run("line=2"), shown("2"));
    scan.source->release();
    controls.pattern = ".";
    controls.matchText = "1";
    EXPECT_EQ(run("line=1"), shown("不"));
    EXPECT_EQ(lastText, text::kNoPreview);
    EXPECT_EQ(run("line=2"), "");
}

}  // namespace
}  // namespace quillow
