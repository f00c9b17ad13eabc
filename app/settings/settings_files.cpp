#include "app/settings/settings_files.h"

#include <sys/stat.h>

#include <QLibraryInfo>
#include <QStandardPaths>
#include <QStringList>

namespace quillow {

std::string unusableSettingsFile()
{
    // Where QSettings looks for organisation "Orvandel", application
    // "Quillow": the application's file and the organisation's, in the
    // user's folder, the XDG folders and Qt's own settings folder.
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    folders << QLibraryInfo::path(QLibraryInfo::SettingsPath);
    for (const QString& folder : folders) {
        for (const char* name : {"/Orvandel/Quillow.conf", "/Orvandel.conf"}) {
            const std::string path = (folder + QLatin1String(name)).toStdString();
            struct stat st {};
            if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
                return path;
        }
    }
    return {};
}

}  // namespace quillow
