#include "gui/file_dialogs.h"

#include <QFile>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <QTreeView>
#include <algorithm>

#include "app/file_filter.h"

namespace quillow {

namespace {

QString fromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string toPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Qt's own dialog opens at its size hint with narrow fixed columns, which
// cut the type and the date; give it room for all four, never more than the
// screen holds, and share the room out among the columns.
void fitRoomy(QFileDialog& dialog)
{
    QSize frame = dialog.sizeHint().expandedTo(QSize(820, 520));
    if (const QScreen* screen = dialog.screen())
        frame = frame.boundedTo(screen->availableGeometry().size() * 9 / 10);
    dialog.resize(frame);
    // Size, type and date get what their longest usual texts need; the name
    // gets the rest.
    if (auto* details = dialog.findChild<QTreeView*>(); details && details->header()->count() >= 4) {
        QHeaderView* header = details->header();
        const QFontMetrics metrics = details->fontMetrics();
        const QString date = dialog.locale().toString(QDateTime(QDate(2026, 12, 27), QTime(23, 59)), QLocale::ShortFormat);
        const int size = metrics.horizontalAdvance(QStringLiteral("1023.9 KiB")) + 16;
        const int type = metrics.horizontalAdvance(QStringLiteral("plain text document")) + 16;
        const int when = metrics.horizontalAdvance(date) + 24;
        header->setStretchLastSection(true);
        header->resizeSection(0, std::max(200, frame.width() * 3 / 4 - size - type - when));
        header->resizeSection(1, size);
        header->resizeSection(2, type);
        header->resizeSection(3, when);
    }
}

}  // namespace

std::string FileDialogs::missingFileText(const std::string& path)
{
    return tr("%1\n找不到文件。\n请检查文件名是否正确，然后重试。").arg(fromPath(path)).toStdString();
}

bool FileDialogs::chooseOpenFile(FileDialogRequest& request)
{
    return run(true, request);
}

bool FileDialogs::chooseSaveFile(FileDialogRequest& request)
{
    return run(false, request);
}

bool FileDialogs::run(bool open, FileDialogRequest& request)
{
    QStringList filters, descriptions;
    for (const NameFilter& entry : parseFilterList(request.filter)) {
        filters << QString::fromStdString(toQtNameFilter(entry));
        descriptions << QString::fromStdString(entry.description);
    }
    const QString title = open ? tr("打开") : tr("另存为");

    FileDialogSteps steps;
    steps.choose = [&](const std::string& startName, int& filterIndex) -> std::optional<std::string> {
        QFileDialog dialog(owner_, title);
        dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        // Any name may be typed: existence and overwriting are checked below,
        // after the default extension has been settled.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        // The list shows the descriptions as written; the Qt patterns stay hidden.
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        fitRoomy(dialog);
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
            const int index = (filterIndex >= 1 && filterIndex <= filters.size()) ? filterIndex : 1;
            dialog.selectNameFilter(filters.at(index - 1));
        }
        if (!startName.empty()) {
            const QFileInfo start(fromPath(startName));
            if (start.dir().exists())
                dialog.setDirectory(start.absolutePath());
            if (!start.isDir())
                dialog.selectFile(start.fileName());
        }
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const QStringList files = dialog.selectedFiles();
        if (files.isEmpty() || files.first().isEmpty())
            return std::nullopt;
        // With the details hidden, the dialog may name the filter by its description only.
        qsizetype selected = filters.indexOf(dialog.selectedNameFilter());
        if (selected < 0)
            selected = descriptions.indexOf(dialog.selectedNameFilter());
        filterIndex = selected >= 0 ? int(selected) + 1 : filterIndex;
        return toPath(files.first());
    };
    steps.fileExists = [](const std::string& path) { return QFileInfo(fromPath(path)).isFile(); };
    steps.reportMissing = [&](const std::string& path) {
        QMessageBox::warning(owner_, title, QString::fromStdString(missingFileText(path)));
    };
    steps.confirmOverwrite = [&](const std::string& path) {
        const QString name = QFileInfo(fromPath(path)).fileName();
        return QMessageBox::warning(owner_, title, tr("%1 已存在。\n要替换它吗？").arg(name),
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
    };

    return runFileDialog(open ? FileDialogKind::Open : FileDialogKind::Save, request, steps);
}

}  // namespace quillow
