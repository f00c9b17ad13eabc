#pragma once
// The widget-free half of the file dialogs: the filter list
// ("description|pattern|description|pattern") in Qt's name-filter form, the
// default-extension rule, and the loop that asks again when an opened file
// does not exist or an overwrite is declined. The dialog itself is plugged in
// (gui/file_dialogs.h), so all of this runs without a display.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/front_end.h"

namespace quillow {

struct NameFilter {
    std::string description;            // as written, blanks at both ends removed
    std::vector<std::string> patterns;  // as written, e.g. "*.txt"
};

// Splits the filter list into its entries. Entries are separated by
// "|", and a pattern may hold several patterns separated by ";". An empty
// element ends the list.
std::vector<NameFilter> parseFilterList(std::string_view filter);

// "description (patterns)" for Qt. Patterns keep their meaning on a
// case-sensitive file system: "*.*" matches every name (with or without a
// dot) and letters match either case, so "*.txt" becomes "*.[tT][xX][tT]".
std::string toQtNameFilter(const NameFilter& entry);
std::vector<std::string> toQtNameFilters(std::string_view filter);

// True when the last component of path holds a ".".
bool hasExtension(std::string_view path);

enum class FileDialogKind { Open, Save };

// The parts of a file dialog that need a user or a file system.
struct FileDialogSteps {
    // Shows the chooser at startName with the 1-based filter index preselected;
    // writes back the filter the user had selected. nullopt: cancelled.
    std::function<std::optional<std::string>(const std::string& startName, int& filterIndex)> choose;
    std::function<bool(const std::string& path)> fileExists;
    // Open: the chosen file does not exist (the dialog is shown again).
    std::function<void(const std::string& path)> reportMissing;
    // Save: the file exists; true replaces it, false shows the dialog again.
    std::function<bool(const std::string& path)> confirmOverwrite;
};

// Runs one open or save choice for request:
// - Open: a name without extension that does not exist is tried with the
//   default extension added (lower case first, then as given); with
//   mustExist a missing file is reported and the dialog shown again.
// - Save: a name without extension gets the default extension in lower case
//   (the file system tells cases apart, and "*.txt" must find it again);
//   with overwritePrompt an existing file needs confirmation.
// On success request.fileName is the chosen path and request.filterIndex the
// selected filter. On cancel both are cleared (fileName empty, filterIndex -1
// for open and 0 for save) and the result is false.
bool runFileDialog(FileDialogKind kind, FileDialogRequest& request, const FileDialogSteps& steps);

// The open and save dialogs both offer all files and text files (the first
// preselected) and add "TXT" to a name without extension.
FileDialogRequest textFileDialog(const std::string& startName);

}  // namespace quillow
