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

#include "app/settings/settings.h"
#include "app/texts.h"
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
    return AboutDialog::tr(label) + QString::number(value);
}

}  // namespace

QString aboutStatsText(const UsageCounters& counters)
{
    return QStringList{
        counterLine(QT_TRANSLATE_NOOP("quillow::AboutDialog", "打开文件:"), counters.filesOpened),
        counterLine(QT_TRANSLATE_NOOP("quillow::AboutDialog", "扫描行:"), counters.linesScanned),
        counterLine(QT_TRANSLATE_NOOP("quillow::AboutDialog", "找到重复项:"), counters.dupsFound),
        counterLine(QT_TRANSLATE_NOOP("quillow::AboutDialog", "找到唯一的重复项:"), counters.uniqueDupsFound),
        counterLine(QT_TRANSLATE_NOOP("quillow::AboutDialog", "删除重复项:"), counters.dupsDeleted),
    }
        .join(QLatin1Char('\n'));
}

AboutDialog::AboutDialog(const UsageCounters& counters, const std::string& version, OpenLink openLink,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      openLink_(std::move(openLink))
{
    setObjectName("aboutDialog");
    setupUi(counters, version);
}

void AboutDialog::setupUi(const UsageCounters& counters, const std::string& version)
{
    setWindowTitle(tr(" 关于    %1").arg(QString::fromUtf8(text::kProductName)));

    // Left: the logo above the link.
    auto* logo = new QLabel(this);
    logo->setObjectName("logoLabel");
    registerResources();
    logo->setPixmap(QIcon(QStringLiteral(":/icons/app/scalable.svg")).pixmap(QSize(64, 64)));
    logo->setAlignment(Qt::AlignCenter);

    linkLabel_ = new LinkLabel(QUrl(kMakerWebAddress).host(), [this] { onLinkClicked(); }, this);
    linkLabel_->setObjectName("linkLabel");
    linkLabel_->setToolTip(kMakerWebAddress);

    auto* left = new QVBoxLayout;
    left->addWidget(logo, 0, Qt::AlignHCenter);
    left->addStretch(1);
    left->addWidget(linkLabel_, 0, Qt::AlignLeft);

    // Right: name, version and statistics in a frame.
    auto* infoFrame = new QFrame(this);
    infoFrame->setObjectName("infoFrame");
    infoFrame->setFrameShape(QFrame::Box);
    infoFrame->setFrameShadow(QFrame::Plain);

    nameLabel_ = new QLabel(QString::fromUtf8(text::kProductName), infoFrame);
    nameLabel_->setObjectName("nameLabel");
    QFont nameFont(QStringLiteral("Arial"), 12, QFont::Bold);
    nameFont.setStyleHint(QFont::SansSerif);
    nameLabel_->setFont(nameFont);

    versionLabel_ = new QLabel(QStringLiteral("v") + QString::fromStdString(version), infoFrame);
    versionLabel_->setObjectName("versionLabel");

    statsLabel_ = new QLabel(aboutStatsText(counters), infoFrame);
    statsLabel_->setObjectName("statsLabel");
    statsLabel_->setTextFormat(Qt::PlainText);

    auto* title = new QHBoxLayout;
    title->addWidget(nameLabel_, 0, Qt::AlignBaseline);
    title->addWidget(versionLabel_, 0, Qt::AlignBaseline);
    title->addStretch(1);
    auto* inFrame = new QVBoxLayout(infoFrame);
    inFrame->setContentsMargins(16, 12, 16, 12);
    inFrame->setSpacing(14);
    inFrame->addLayout(title);
    inFrame->addWidget(statsLabel_);
    inFrame->addStretch(1);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addLayout(left);
    top->addWidget(infoFrame, 1);

    // An etched separator above the maker's notice.
    auto* separator = new QFrame(this);
    separator->setObjectName("separator");
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    auto* notice = new QLabel(tr("Orvandel 出品 · 查找并清理文本文档中的重复行"), this);
    notice->setObjectName("noticeLabel");

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(8, 8, 8, 8);
    root->addLayout(top);
    root->addWidget(separator);
    root->addWidget(notice);
    // Fixed border: the box keeps the size its contents need.
    root->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::onLinkClicked()
{
    if (openLink_)
        openLink_(kMakerWebAddress);
    else
        QDesktopServices::openUrl(QUrl(QString::fromLatin1(kMakerWebAddress)));
}

// A click is a press and a release inside the box; the link label keeps its own.
void AboutDialog::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void AboutDialog::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        accept();
    pressed_ = false;
}

void AboutDialog::keyPressEvent(QKeyEvent* event)
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

void AboutDialog::showEvent(QShowEvent* event)
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

void showAboutDialog(const UsageCounters& counters, bool debugMode, const AboutDialog::OpenLink& openLink,
                     QWidget* parent)
{
    AboutDialog box(counters, text::programVersion(debugMode), openLink, parent);
    box.exec();
}

}  // namespace quillow
