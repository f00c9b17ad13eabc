#include "gui/about_dialog.h"

#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include "engine/host.h"
#include "engine/settings.h"
#include "engine/texts.h"
#include "gui/window_setup.h"

namespace quillow {

namespace {

// A label drawn as a link: hand pointer, link colour, underlined. It takes
// its clicks itself, so they never reach the box (which would close).
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, std::function<void()> onClick, QWidget* parent)
        : QLabel(text, parent), onClick_(std::move(onClick))
    {
        setCursor(Qt::PointingHandCursor);
        QFont f = font();
        f.setUnderline(true);
        setFont(f);
        QPalette pal = palette();
        pal.setColor(QPalette::WindowText, pal.color(QPalette::Link));
        setPalette(pal);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        event->accept();
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick_)
            onClick_();
    }

private:
    std::function<void()> onClick_;
};

QString counterLine(const char* label, int32_t value)
{
    return QString::fromUtf8(label) + QString::number(value);
}

}  // namespace

QString aboutStatsText(const UsageCounters& counters)
{
    return QStringList{
        counterLine("打开文件:", counters.filesOpened),
        counterLine("扫描行:", counters.linesScanned),
        counterLine("找到重复项:", counters.dupsFound),
        counterLine("找到唯一的重复项:", counters.uniqueDupsFound),
        counterLine("删除重复项:", counters.dupsDeleted),
    }
        .join(QLatin1Char('\n'));
}

frmAbout::frmAbout(const UsageCounters& counters, const std::string& version, OpenLink openLink, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      openLink_(std::move(openLink))
{
    setObjectName("frmAbout");
    Form_Load(counters, version);
}

void frmAbout::Form_Load(const UsageCounters& counters, const std::string& version)
{
    setWindowTitle(QStringLiteral(" 关于    ") + QString::fromUtf8(text::kProductName));

    // Left: the logo above the link.
    auto* imgLogo = new QLabel(this);
    imgLogo->setObjectName("imgLogo");
    InitResources();
    imgLogo->setPixmap(QIcon(QStringLiteral(":/icons/AAA/scalable.svg")).pixmap(QSize(64, 64)));
    imgLogo->setAlignment(Qt::AlignCenter);

    lblWeb_ = new LinkLabel(QUrl(kMakerWebAddress).host(), [this] { lblWeb_Click(); }, this);
    lblWeb_->setObjectName("lblWeb");
    lblWeb_->setToolTip(kMakerWebAddress);

    auto* left = new QVBoxLayout;
    left->addWidget(imgLogo, 0, Qt::AlignHCenter);
    left->addStretch(1);
    left->addWidget(lblWeb_, 0, Qt::AlignLeft);

    // Right: name, version and statistics in a frame.
    auto* shape1 = new QFrame(this);
    shape1->setObjectName("Shape1");
    shape1->setFrameShape(QFrame::Box);
    shape1->setFrameShadow(QFrame::Plain);

    label5_ = new QLabel(QString::fromUtf8(text::kProductName), shape1);
    label5_->setObjectName("Label5");
    QFont nameFont(QStringLiteral("Arial"), 12, QFont::Bold);
    nameFont.setStyleHint(QFont::SansSerif);
    label5_->setFont(nameFont);

    lblVersion_ = new QLabel(QStringLiteral("v") + QString::fromStdString(version), shape1);
    lblVersion_->setObjectName("lblVersion");

    lblStats_ = new QLabel(aboutStatsText(counters), shape1);
    lblStats_->setObjectName("lblStats");
    lblStats_->setTextFormat(Qt::PlainText);

    auto* title = new QHBoxLayout;
    title->addWidget(label5_, 0, Qt::AlignBaseline);
    title->addWidget(lblVersion_, 0, Qt::AlignBaseline);
    title->addStretch(1);
    auto* inFrame = new QVBoxLayout(shape1);
    inFrame->setContentsMargins(16, 12, 16, 12);
    inFrame->setSpacing(14);
    inFrame->addLayout(title);
    inFrame->addWidget(lblStats_);
    inFrame->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addLayout(left);
    top->addWidget(shape1, 1);

    // An etched separator above the maker's notice.
    auto* line = new QFrame(this);
    line->setObjectName("Line1");
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* label1 = new QLabel(QStringLiteral("Orvandel 出品 · 查找并清理文本文档中的重复行"), this);
    label1->setObjectName("Label1");

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(8, 8, 8, 8);
    root->addLayout(top);
    root->addWidget(line);
    root->addWidget(label1);
    // Fixed border: the box keeps the size its contents need.
    root->setSizeConstraint(QLayout::SetFixedSize);
}

void frmAbout::lblWeb_Click()
{
    if (openLink_)
        openLink_(kMakerWebAddress);
    else
        QDesktopServices::openUrl(QUrl(QString::fromLatin1(kMakerWebAddress)));
}

// A click is a press and a release inside the box; the link label keeps its own.
void frmAbout::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void frmAbout::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        accept();
    pressed_ = false;
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void frmAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    // Centred on the screen (the owner's screen when there is an owner).
    QScreen* scr = parentWidget() ? parentWidget()->screen() : screen();
    if (scr) {
        const QRect frame = frameGeometry();
        move(scr->availableGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
}

void showAboutDialog(const UsageCounters& counters, bool debugMode, Host& host, QWidget* parent)
{
    frmAbout box(counters, text::programVersion(debugMode), [&host](const std::string& url) { host.openDocument(url); },
                 parent);
    box.exec();
}

}  // namespace quillow
