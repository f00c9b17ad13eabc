#include "engine/command_line.h"

#include <array>
#include <string_view>

#include "engine/selection.h"
#include "engine/save.h"
#include "engine/file_info.h"
#include "engine/scan.h"
#include "engine/text_util.h"

namespace quillow {

namespace {

struct Switch {
    std::string_view text;
    std::string ProgramState::*field;
};

constexpr std::array<Switch, 10> kSwitches{{
    {"/i", &ProgramState::cmdLineInputFile},
    {"/o", &ProgramState::cmdLineOutputFile},
    {"/s", &ProgramState::cmdLineSelectMode},
    {"/c", &ProgramState::cmdLineCaseSensitive},
    {"/r", &ProgramState::cmdLineTrimLines},
    {"/m", &ProgramState::cmdLineSaveEmptyLines},
    {"/f", &ProgramState::cmdLineStartPos},
    {"/x", &ProgramState::cmdLineRegExp},
    {"/a", &ProgramState::cmdLineRegExpMatch},
    {"/p", &ProgramState::cmdLineApplyFilter},
}};

constexpr std::array<std::string ProgramState::*, 4> kOnOffFields{
    &ProgramState::cmdLineCaseSensitive, &ProgramState::cmdLineTrimLines, &ProgramState::cmdLineSaveEmptyLines,
    &ProgramState::cmdLineApplyFilter};

bool isOn(const std::string& v) { return equalIgnoringCase(v, "on"); }
bool isOff(const std::string& v) { return equalIgnoringCase(v, "off"); }

void applyOnOff(const std::string& value, int16_t& field)
{
    if (isOn(value))
        field = 1;
    else if (isOff(value))
        field = 0;
}

}  // namespace

std::string argumentText(const std::vector<std::string>& args)
{
    std::string text;
    for (size_t i = 0; i < args.size(); ++i) {
        if (i)
            text += ' ';
        text += args[i];
    }
    return text;
}

void decideCommandLineMode(ProgramState& state)
{
    state.cmdLineMode = -1;
    const std::string& select = state.cmdLineSelectMode;
    if (state.cmdLineInputFile.empty() || state.cmdLineOutputFile.empty() || select.empty())
        state.cmdLineMode = 0;
    else if (select != "1" && select != "2" && select != "3")
        state.cmdLineMode = 0;
    else if (!fileExists(state.cmdLineInputFile))
        state.cmdLineMode = 0;
}

void ParseCommandLine(ProgramState& state, const std::string& text)
{
    for (const Switch& s : kSwitches)
        (state.*s.field).clear();
    if (text.empty())
        return;
    if (text.find("/i") == std::string::npos && text.find("/o") == std::string::npos &&
        text.find("/s") == std::string::npos) {
        decideCommandLineMode(state);
        return;
    }

    // A value runs up to the next switch text wherever it stands, inside a
    // path or a pattern too, quoted or not. Splitting the UTF-8 bytes is safe:
    // '/' and ASCII letters never occur inside a multi-byte sequence.
    std::string* current = nullptr;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        if (text[i] == '/' && i + 1 < n) {
            std::string_view pair(text.data() + i, 2);
            const Switch* hit = nullptr;
            for (const Switch& s : kSwitches)
                if (s.text == pair)
                    hit = &s;
            if (hit) {
                current = &(state.*hit->field);
                current->clear();  // a repeated switch replaces the earlier value
                ++i;
                continue;
            }
        }
        if (current)
            current->push_back(text[i]);
    }

    // Blanks first, then quotes: blanks inside quotes at the ends survive.
    for (const Switch& s : kSwitches) {
        std::string& value = state.*s.field;
        std::string cleaned;
        for (char c : trimBlanks(value))
            if (c != '"')
                cleaned.push_back(c);
        value = std::move(cleaned);
    }

    for (auto field : kOnOffFields) {
        std::string& value = state.*field;
        if (!isOn(value) && !isOff(value))
            value.clear();
    }
    if (leadingNumber(state.cmdLineStartPos) < 0)
        state.cmdLineStartPos = "0";
    if (leadingNumber(state.cmdLineRegExpMatch) < -1)
        state.cmdLineRegExpMatch = "-1";

    decideCommandLineMode(state);
}

void ApplyCommandLineOverrides(ProgramState& state)
{
    applyOnOff(state.cmdLineCaseSensitive, state.caseSensitive);
    applyOnOff(state.cmdLineTrimLines, state.trimLines);
    applyOnOff(state.cmdLineSaveEmptyLines, state.saveEmptyLines);
    // A value that is not a number or does not fit counts as not given.
    if (auto n = parseNumber(state.cmdLineStartPos))
        if (auto v = toInt16(*n))
            state.iStartPos = std::max<int16_t>(*v, 0);
    if (!state.cmdLineRegExp.empty())
        state.sRegExp = state.cmdLineRegExp;
    if (auto n = parseNumber(state.cmdLineRegExpMatch))
        if (auto v = toInt16(*n))
            state.iRegExpMatch = std::max<int16_t>(*v, -1);
    applyOnOff(state.cmdLineApplyFilter, state.saveApplyFilter);
}

RunOutcome RunCommandLine(ProgramState& state, Host& host, bool scanOnly)
{
    if (state.cmdLineMode != -1)
        return RunOutcome::NotRun;
    SelectCommand command;
    if (state.cmdLineSelectMode == "1")
        command = SelectCommand::All;
    else if (state.cmdLineSelectMode == "2")
        command = SelectCommand::AllButFirst;
    else if (state.cmdLineSelectMode == "3")
        command = SelectCommand::AllButLast;
    else if (scanOnly)
        command = SelectCommand::None;
    else
        return RunOutcome::NotRun;

    state.bigFile = 0;
    ApplyCommandLineOverrides(state);

    switch (runScan(state, host)) {
    case ScanOutcome::Completed:
        break;
    case ScanOutcome::EmptyFile:  // readable, and without duplicate lines
        return RunOutcome::NothingToDo;
    case ScanOutcome::Stopped:
        return RunOutcome::Stopped;
    case ScanOutcome::NoFile:
    case ScanOutcome::Failed:
        return RunOutcome::InputError;
    }
    if (state.cmdLineMode == 0)
        return RunOutcome::Stopped;
    if (!buttonStates(state).saveEnabled)
        return RunOutcome::NothingToDo;
    if (scanOnly)
        return RunOutcome::DuplicatesFound;

    runSelectCommand(state, host, command);

    WriteOutcome written = runSave(state, host);
    if (state.cmdLineMode == 0)
        return RunOutcome::Stopped;
    switch (written) {
    case WriteOutcome::Written:
        return RunOutcome::Written;
    case WriteOutcome::Stopped:
        return RunOutcome::Stopped;
    case WriteOutcome::SourceUnreadable:
        return RunOutcome::InputError;
    case WriteOutcome::TargetUnwritable:
    case WriteOutcome::Failed:
        return RunOutcome::OutputError;
    case WriteOutcome::NotStarted:
        break;
    }
    // The save's checks ended it silently, as they do in unattended mode.
    if (state.selectedCount == 0)
        return RunOutcome::NothingToDo;
    if (!fileExists(state.scannedFile))
        return RunOutcome::InputError;
    return RunOutcome::OutputError;
}

}  // namespace quillow
