#pragma once
// What the main window's source files share: the pace of display updates and
// the path conversion for the file system.
#include <QFile>
#include <chrono>
#include <string>

namespace quillow {

// Percentages and bar values come every 50 lines; the screen needs far fewer.
inline constexpr std::chrono::milliseconds kDisplayInterval{30};

inline std::string toStdPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace quillow
