#include "gui/copy_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <new>
#include <stdexcept>

#include "gui/window_setup.h"

namespace quillow {

namespace {

constexpr const char* kLineCaptions[] = {"所有重复项", "所有选定的重复项", "当前高亮的重复项"};
constexpr const char* kContentCaptions[] = {"来源内容", "重复内容(过滤的)", "行数"};
constexpr const char* kOutOfMemory = "内存不足，无法复制这么多文本。";

// A frame with its three option buttons at the classic places.
QGroupBox* optionFrame(QWidget* parent, const char* name, const QString& caption, int top,
                       const char* const (&captions)[3], const char* arrayName, QRadioButton* (&buttons)[3])
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    placeTwips(frame, 120, top, 2895, 1335);
    auto* group = new QButtonGroup(frame);
    constexpr int kTops[] = {330, 630, 930};
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new QRadioButton(QString::fromUtf8(captions[i]), frame);
        buttons[i]->setObjectName(QString::fromLatin1(arrayName) + QString::number(i));
        placeButtonTwips(buttons[i], 240, kTops[i], 2895 - 240 - 120, 195);
        group->addButton(buttons[i], i);
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

frmCopy::frmCopy(ProgramState& state, Host& mainHost, int64_t highlightedEntry, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      state_(state),
      host_(mainHost),
      highlighted_(highlightedEntry)
{
    setObjectName("frmCopy");
    setWindowTitle(QStringLiteral("复制到剪贴板"));
    setFixedSize(twipsToPixel(3135), twipsToPixel(3645));

    Frame1_ = optionFrame(this, "Frame1", QStringLiteral("要复制的行"), 120, kLineCaptions, "optLine", optLine_);
    Frame2_ = optionFrame(this, "Frame2", QStringLiteral("要复制的内容"), 1560, kContentCaptions, "optContent",
                          optContent_);

    cmdOk_ = new QPushButton(QStringLiteral("复制"), this);
    cmdOk_->setObjectName("cmdOk");
    cmdOk_->setDefault(true);
    placeTwips(cmdOk_, 960, 3120, 975, 375);
    cmdCancel_ = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel_->setObjectName("cmdCancel");
    cmdCancel_->setAutoDefault(false);
    placeTwips(cmdCancel_, 2040, 3120, 975, 375);

    connect(cmdOk_, &QPushButton::clicked, this, &frmCopy::cmdOk_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
}

void frmCopy::Form_Load()
{
    applyWindowIcon(this, true);
    const CopyDialogSetup setup = copyDialogSetup(state_.memoryPreserved, state_.bigFile);
    optLine_[static_cast<int>(setup.range)]->setChecked(true);
    optContent_[static_cast<int>(setup.content)]->setChecked(true);
    optContent_[static_cast<int>(CopyContent::Source)]->setEnabled(setup.sourceEnabled);
    optLine_[static_cast<int>(CopyRange::Highlighted)]->setEnabled(setup.highlightedEnabled);
}

// The buttons stand in the order of CopyRange and CopyContent.
CopyRange frmCopy::range() const { return static_cast<CopyRange>(checkedIndex(optLine_)); }

CopyContent frmCopy::content() const { return static_cast<CopyContent>(checkedIndex(optContent_)); }

void frmCopy::cmdOk_Click()
{
    host_.setPointer(Pointer::Hourglass);
    setEnabled(false);
    QCoreApplication::processEvents();

    std::string text;
    const char* failure = nullptr;
    try {
        text = buildCopyText(state_, range(), content(), highlighted_);
    } catch (const std::bad_alloc&) {
        failure = kOutOfMemory;
    } catch (const std::logic_error&) {
        // The source texts are gone; the option is disabled then, so this
        // only guards against a state the dialog was not built for.
        text.clear();
    }

    host_.setPointer(Pointer::Default);
    if (failure) {
        host_.messageBox(failure, mb::Exclamation);
    } else if (!text.empty()) {
        // The clipboard takes text, not bytes: a line that is not valid UTF-8
        // arrives with replacement characters where its invalid bytes were.
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    } else {
        host_.messageBox(kNothingToCopy, mb::Exclamation);
    }

    QCoreApplication::processEvents();
    setEnabled(true);
    accept();
}

void showCopyDialog(ProgramState& state, Host& mainHost, int64_t highlightedEntry, QWidget* parent)
{
    frmCopy dialog(state, mainHost, highlightedEntry, parent);
    dialog.exec();
}

}  // namespace quillow
