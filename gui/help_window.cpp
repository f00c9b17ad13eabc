#include "gui/help_window.h"

#include <QFile>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/translation.h"
#include "gui/window_setup.h"

namespace quillow {

namespace {

// The page's sections: <section id="zh"> and <section id="en">.
QString withoutSection(QString html, const QString& id)
{
    const qsizetype start = html.indexOf(QStringLiteral("<section id=\"%1\"").arg(id));
    if (start < 0)
        return html;
    const QString close = QStringLiteral("</section>");
    const qsizetype end = html.indexOf(close, start);
    if (end < 0)
        return html;
    html.remove(start, end + close.size() - start);
    return html;
}

}  // namespace

QString HelpWindow::pageFor(const QString& html, bool english)
{
    QString page = withoutSection(html, english ? QStringLiteral("zh") : QStringLiteral("en"));
    // The links between the two sections lead nowhere once one is gone.
    const qsizetype nav = page.indexOf(QStringLiteral("<nav"));
    if (nav >= 0) {
        const qsizetype end = page.indexOf(QStringLiteral("</nav>"), nav);
        if (end >= 0)
            page.remove(nav, end + 6 - nav);
    }
    return page;
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("Quillow 帮助"));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);

    QFile page(QStringLiteral(":/Help.html"));
    QString html;
    if (page.open(QIODevice::ReadOnly))
        html = QString::fromUtf8(page.readAll());
    browser_->setHtml(pageFor(html, interfaceTranslator() != nullptr));

    auto* close = new QShortcut(QKeySequence::Close, this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    applyWindowIcon(this, false);
    resize(QSize(760, 640).boundedTo(screen() ? screen()->availableSize() * 9 / 10 : QSize(760, 640)));
}

}  // namespace quillow
