#include "gui/dialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QInputDialog>
#include <QPushButton>
#include <QUrl>
#include <vector>

#include "app/texts.h"
#include "gui/about_dialog.h"
#include "gui/options_dialog.h"
#include "gui/copy_dialog.h"
#include "gui/viewer_window.h"
#include "gui/file_dialogs.h"

namespace quillow {

namespace {

// The buttons' captions, in the interface language.
constexpr const char* kContext = "quillow::QtDialogs";
constexpr const char* kOk = QT_TRANSLATE_NOOP("quillow::QtDialogs", "确定");
constexpr const char* kCancel = QT_TRANSLATE_NOOP("quillow::QtDialogs", "取消");
constexpr const char* kYes = QT_TRANSLATE_NOOP("quillow::QtDialogs", "是(&Y)");
constexpr const char* kNo = QT_TRANSLATE_NOOP("quillow::QtDialogs", "否(&N)");

QString buttonText(const char* caption) { return QCoreApplication::translate(kContext, caption); }

struct ButtonChoice {
    QMessageBox::StandardButton button;
    const char* caption;
};

std::vector<ButtonChoice> buttonsFor(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OkCancel:
        return {{QMessageBox::Ok, kOk}, {QMessageBox::Cancel, kCancel}};
    case Buttons::YesNoCancel:
        return {{QMessageBox::Yes, kYes}, {QMessageBox::No, kNo}, {QMessageBox::Cancel, kCancel}};
    case Buttons::YesNo:
        return {{QMessageBox::Yes, kYes}, {QMessageBox::No, kNo}};
    case Buttons::Ok:
        break;
    }
    return {{QMessageBox::Ok, kOk}};
}

QMessageBox::Icon qtIcon(Icon icon)
{
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A question asked while a dialog of the program is open (the options
// dialog's filter test) belongs to that dialog and is centred on it.
QWidget* ownerFor(QWidget* parent)
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal && parent && modal != parent && modal->parentWidget() ? modal : parent;
}

}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& text, Icon icon, Buttons kind)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QString::fromUtf8(text::kProductName));
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setIcon(qtIcon(icon));
    const std::vector<ButtonChoice> buttons = buttonsFor(kind);
    QMessageBox::StandardButtons all;
    for (const ButtonChoice& b : buttons)
        all |= b.button;
    box->setStandardButtons(all);
    for (const ButtonChoice& b : buttons)
        box->button(b.button)->setText(buttonText(b.caption));
    box->setDefaultButton(buttons.front().button);
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

Answer QtDialogs::messageBox(QWidget* parent, const std::string& text, Icon icon, Buttons buttons)
{
    std::unique_ptr<QMessageBox> box = makeMessageBox(ownerFor(parent), QString::fromStdString(text), icon, buttons);
    box->exec();
    QAbstractButton* clicked = box->clickedButton();
    if (!clicked)
        return answerFor(box->escapeButton() ? box->standardButton(box->escapeButton()) : QMessageBox::Ok);
    return answerFor(box->standardButton(clicked));
}

std::optional<std::string> QtDialogs::inputBox(QWidget* parent, const std::string& prompt, const std::string& title,
                                               const std::string& preset)
{
    QInputDialog dialog(ownerFor(parent));
    dialog.setWindowTitle(title.empty() ? QString::fromUtf8(text::kProductName) : QString::fromStdString(title));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(preset));
    dialog.setOkButtonText(buttonText(kOk));
    dialog.setCancelButtonText(buttonText(kCancel));
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

void QtDialogs::showViewer(Session& session, QWidget* parent)
{
    ViewerWindow viewer(session, parent);
    viewer.exec();
}

void QtDialogs::showCopyDialog(Session& session, int64_t highlightedEntry, QWidget* parent)
{
    CopyDialog dialog(session, highlightedEntry, parent);
    dialog.exec();
}

void QtDialogs::showOptionsDialog(Session& session, QWidget* parent)
{
    OptionsDialog dialog(session, parent);
    dialog.exec();
}

void QtDialogs::showAbout(const Settings& settings, bool debugMode,
                          const std::function<void(const std::string&)>& openLink, QWidget* parent)
{
    quillow::showAboutDialog(settings.counters, debugMode, openLink, parent);
}

}  // namespace quillow
