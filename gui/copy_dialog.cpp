#include "gui/copy_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <new>
#include <stdexcept>

#include "app/texts.h"
#include "gui/window_setup.h"

namespace quillow {

namespace {

// Source texts; CopyDialog::tr gives them in the interface language.
constexpr const char* kLineCaptions[] = {QT_TRANSLATE_NOOP("quillow::CopyDialog", "所有重复项"),
                                         QT_TRANSLATE_NOOP("quillow::CopyDialog", "所有选定的重复项"),
                                         QT_TRANSLATE_NOOP("quillow::CopyDialog", "当前高亮的重复项")};
constexpr const char* kContentCaptions[] = {QT_TRANSLATE_NOOP("quillow::CopyDialog", "来源内容"),
                                            QT_TRANSLATE_NOOP("quillow::CopyDialog", "重复内容(过滤的)"),
                                            QT_TRANSLATE_NOOP("quillow::CopyDialog", "行数")};
constexpr const char* kOutOfMemory = QT_TRANSLATE_NOOP("quillow::CopyDialog", "内存不足，无法复制这么多文本。");

// A frame with its three option buttons, one under the other.
QGroupBox* optionFrame(QWidget* parent, const char* name, const QString& caption,
                       const char* const (&captions)[3], const char* buttonName, QRadioButton* (&buttons)[3])
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    auto* group = new QButtonGroup(frame);
    auto* layout = new QVBoxLayout(frame);
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new QRadioButton(CopyDialog::tr(captions[i]), frame);
        buttons[i]->setObjectName(QString::fromLatin1(buttonName) + QString::number(i));
        group->addButton(buttons[i], i);
        layout->addWidget(buttons[i], 0, Qt::AlignLeft);
    }
    return frame;
}

// Which of a frame's three option buttons is on; the first when none is.
int checkedIndex(QRadioButton* const (&buttons)[3])
{
    for (int i = 1; i < 3; ++i)
        if (buttons[i]->isChecked())
            return i;
    return 0;
}

}  // namespace

CopyDialog::CopyDialog(Session& session, int64_t highlightedEntry, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      session_(session),
      result_(session.result),
      highlighted_(highlightedEntry)
{
    setObjectName("copyDialog");
    setWindowTitle(tr("复制到剪贴板"));

    rangeFrame_ = optionFrame(this, "rangeFrame", tr("要复制的行"), kLineCaptions, "range", rangeButtons_);
    contentFrame_ =
        optionFrame(this, "contentFrame", tr("要复制的内容"), kContentCaptions, "content", contentButtons_);

    copyButton_ = new QPushButton(tr("复制"), this);
    copyButton_->setObjectName("copyButton");
    copyButton_->setDefault(true);
    cancelButton_ = new QPushButton(tr("取消"), this);
    cancelButton_->setObjectName("cancelButton");
    cancelButton_->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(copyButton_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancelButton_, QDialogButtonBox::RejectRole);

    auto* root = new QVBoxLayout(this);
    root->addWidget(rangeFrame_);
    root->addWidget(contentFrame_);
    root->addWidget(buttons);
    // Fixed border: the dialog keeps the size its contents need.
    root->setSizeConstraint(QLayout::SetFixedSize);

    connect(copyButton_, &QPushButton::clicked, this, &CopyDialog::onCopyClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    applyWindowIcon(this, true);
    const CopyDialogSetup setup = copyDialogSetup(result_);
    rangeButtons_[static_cast<int>(setup.range)]->setChecked(true);
    contentButtons_[static_cast<int>(setup.content)]->setChecked(true);
    contentButtons_[static_cast<int>(CopyContent::Source)]->setEnabled(setup.sourceEnabled);
    rangeButtons_[static_cast<int>(CopyRange::Highlighted)]->setEnabled(setup.highlightedEnabled);
}

// The buttons stand in the order of CopyRange and CopyContent.
CopyRange CopyDialog::range() const { return static_cast<CopyRange>(checkedIndex(rangeButtons_)); }

CopyContent CopyDialog::content() const { return static_cast<CopyContent>(checkedIndex(contentButtons_)); }

void CopyDialog::onCopyClicked()
{
    // A large text is put together off the GUI thread.
    std::string copied;
    const char* failure = nullptr;
    const CopyRange chosenRange = range();
    const CopyContent chosenContent = content();
    session_.frontEnd.runWork(nullptr, [&](Work&) {
        try {
            copied = buildCopyText(result_, chosenRange, chosenContent, highlighted_);
        } catch (const std::bad_alloc&) {
            failure = kOutOfMemory;
        } catch (const std::logic_error&) {
            // The source texts are gone; the option is disabled then, so this
            // only guards against a state the dialog was not built for.
            copied.clear();
        }
    });

    FrontEnd& front = session_.frontEnd;
    if (failure) {
        front.messageBox(tr(failure).toStdString(), Icon::Warning, Buttons::Ok);
    } else if (!copied.empty()) {
        // The clipboard takes text, not bytes: a line that is not valid UTF-8
        // arrives with replacement characters where its invalid bytes were.
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(QString::fromUtf8(copied.data(), static_cast<qsizetype>(copied.size())));
    } else {
        front.messageBox(text::translated(text::kNothingToCopy), Icon::Warning, Buttons::Ok);
    }
    accept();
}

}  // namespace quillow
