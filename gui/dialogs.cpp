#include "gui/dialogs.h"

#include <QDesktopServices>
#include <QFile>
#include <QInputDialog>
#include <QPushButton>
#include <QUrl>
#include <vector>

#include "gui/about_dialog.h"
#include "gui/options_dialog.h"
#include "gui/copy_dialog.h"
#include "gui/viewer_window.h"
#include "gui/file_dialogs.h"

namespace quillow {

namespace {

struct ButtonSpec {
    QMessageBox::StandardButton button;
    const char* caption;
};

std::vector<ButtonSpec> buttonsFor(int style)
{
    switch (style & 7) {
    case mb::OkCancel:
        return {{QMessageBox::Ok, "确定"}, {QMessageBox::Cancel, "取消"}};
    case mb::YesNoCancel:
        return {{QMessageBox::Yes, "是(&Y)"}, {QMessageBox::No, "否(&N)"}, {QMessageBox::Cancel, "取消"}};
    case mb::YesNo:
        return {{QMessageBox::Yes, "是(&Y)"}, {QMessageBox::No, "否(&N)"}};
    default:
        return {{QMessageBox::Ok, "确定"}};
    }
}

QMessageBox::Icon iconFor(int style)
{
    switch (style & 0x70) {
    case mb::Critical:
        return QMessageBox::Critical;
    case mb::Question:
        return QMessageBox::Question;
    case mb::Exclamation:
        return QMessageBox::Warning;
    case mb::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text, int style)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QString::fromUtf8(kMessageBoxTitle));
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setIcon(iconFor(style));
    const std::vector<ButtonSpec> buttons = buttonsFor(style);
    QMessageBox::StandardButtons all;
    for (const ButtonSpec& b : buttons)
        all |= b.button;
    box->setStandardButtons(all);
    for (const ButtonSpec& b : buttons)
        box->button(b.button)->setText(QString::fromUtf8(b.caption));
    // 256 and 512 make the second or third button the default.
    size_t def = static_cast<size_t>((style >> 8) & 3);
    if (def >= buttons.size())
        def = 0;
    box->setDefaultButton(buttons[def].button);
    if (all & QMessageBox::Cancel)
        box->setEscapeButton(QMessageBox::Cancel);
    else if (all & QMessageBox::No)
        box->setEscapeButton(QMessageBox::No);
    else
        box->setEscapeButton(QMessageBox::Ok);
    return box;
}

Answer answerFor(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

Answer QtDialogs::messageBox(QWidget* parent, const std::string& text, int style)
{
    std::unique_ptr<QMessageBox> box = makeMessageBox(parent, QString::fromStdString(text), style);
    box->exec();
    QAbstractButton* clicked = box->clickedButton();
    if (!clicked)
        return answerFor(box->escapeButton() ? box->standardButton(box->escapeButton()) : QMessageBox::Ok);
    return answerFor(box->standardButton(clicked));
}

std::optional<std::string> QtDialogs::inputBox(QWidget* parent, const std::string& prompt, const std::string& title,
                                               const std::string& preset)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title.empty() ? QString::fromUtf8(kMessageBoxTitle) : QString::fromStdString(title));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(preset));
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

bool QtDialogs::chooseOpenFile(QWidget* parent, FileDialogRequest& request)
{
    return FileDialogs(parent).chooseOpenFile(request);
}

bool QtDialogs::chooseSaveFile(QWidget* parent, FileDialogRequest& request)
{
    return FileDialogs(parent).chooseSaveFile(request);
}

bool QtDialogs::openDocument(const std::string& pathOrUrl)
{
    const QString text = QString::fromStdString(pathOrUrl);
    const QUrl asUrl(text);
    if (!asUrl.scheme().isEmpty() && asUrl.scheme().size() > 1)  // "C:" is no scheme
        return QDesktopServices::openUrl(asUrl);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(pathOrUrl))));
}

void QtDialogs::showViewer(ProgramState& state, Host& host, QWidget* parent)
{
    quillow::showViewer(state, host, parent);
}

void QtDialogs::showCopyDialog(ProgramState& state, Host& host, int64_t highlightedEntry, QWidget* parent)
{
    quillow::showCopyDialog(state, host, highlightedEntry, parent);
}

void QtDialogs::showSettingsDialog(ProgramState& state, Host& host, QWidget* parent)
{
    quillow::showSettingsDialog(state, host, parent);
}

void QtDialogs::showAbout(ProgramState& state, Host& host, QWidget* parent)
{
    quillow::showAboutDialog(state, host, parent);
}

}  // namespace quillow
