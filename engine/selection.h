#pragma once
// The five selection commands of the Select menu, hand checking with its
// running count, and locating an entry's line in the source list.
#include <string>

#include "engine/host.h"
#include "engine/program_state.h"

namespace quillow {

enum class SelectCommand { All, None, Invert, AllButFirst, AllButLast };

// Runs one command over the whole duplicates list (status texts, count).
// The main window is disabled throughout (Host::setMainWindowEnabled). After
// the flags are written it calls host.selectionChanged() while selecting is
// still -1: the GUI repaints and, when bigFile is 0, makes entry 0 of the
// duplicates view current and scrolls to it; locateLine answers -1 then, so
// the source list does not move.
void runSelectCommand(ProgramState& state, Host& host, SelectCommand command);
inline void mnuSelAll_Click(ProgramState& s, Host& h) { runSelectCommand(s, h, SelectCommand::All); }
inline void mnuUnsel_Click(ProgramState& s, Host& h) { runSelectCommand(s, h, SelectCommand::None); }
inline void mnuInvert_Click(ProgramState& s, Host& h) { runSelectCommand(s, h, SelectCommand::Invert); }
inline void mnuSelAllButFirst_Click(ProgramState& s, Host& h) { runSelectCommand(s, h, SelectCommand::AllButFirst); }
inline void mnuSelAllButLast_Click(ProgramState& s, Host& h) { runSelectCommand(s, h, SelectCommand::AllButLast); }

// selectedCount + " 共  " + entry count + " 个重复项已选定。"
std::string selectionStatusText(const ProgramState& state);

// The user changed the check box of entry item (its flag already holds the
// new state): adjusts selectedCount by one and shows the selection text.
// Does nothing while a command runs or in big-file mode.
void lstDups_ItemCheck(ProgramState& state, Host& host, int64_t item);

// The source-list index (line number - 1) of duplicates entry item, or -1.
int64_t locateLine(const ProgramState& state, int64_t item);

}  // namespace quillow
