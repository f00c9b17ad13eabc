#include "gui/find_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillow {

FindBar::FindBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("findBar"));
    auto* label = new QLabel(tr("查找:"), this);
    scopes_ = new QComboBox(this);
    scopes_->setObjectName(QStringLiteral("findScope"));
    scopes_->setToolTip(tr("在哪个列表中查找。"));
    scopes_->hide();
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("findText"));
    text_->setClearButtonEnabled(true);
    text_->setToolTip(tr("要查找的文字；Enter 查找下一个，Shift+Enter 查找上一个，Esc 关闭查找栏。"));
    label->setBuddy(text_);
    pattern_ = new QCheckBox(tr("正则表达式"), this);
    pattern_->setObjectName(QStringLiteral("findPattern"));
    pattern_->setToolTip(tr("把文字当作正则表达式（与过滤使用相同的写法）。"));
    matchCase_ = new QCheckBox(tr("匹配大小写"), this);
    matchCase_->setObjectName(QStringLiteral("findMatchCase"));
    matchCase_->setToolTip(tr("只查找大小写也相同的文字。"));
    previous_ = new QToolButton(this);
    previous_->setObjectName(QStringLiteral("findPrevious"));
    previous_->setArrowType(Qt::UpArrow);
    previous_->setToolTip(tr("查找上一个 (Shift+F3)"));
    next_ = new QToolButton(this);
    next_->setObjectName(QStringLiteral("findNext"));
    next_->setArrowType(Qt::DownArrow);
    next_->setToolTip(tr("查找下一个 (F3)"));
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("findResult"));
    result_->setTextFormat(Qt::PlainText);
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("findClose"));
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setAutoRaise(true);
    close->setToolTip(tr("关闭查找栏 (Esc)"));

    // Two rows, so that a window at its smallest still shows every part:
    // the text with its buttons, then how to find and what was found.
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(label);
    textRow->addWidget(text_, 1);
    textRow->addWidget(previous_);
    textRow->addWidget(next_);
    textRow->addWidget(close);
    auto* optionRow = new QHBoxLayout;
    optionRow->addWidget(scopes_);
    optionRow->addWidget(pattern_);
    optionRow->addWidget(matchCase_);
    optionRow->addWidget(result_, 1, Qt::AlignRight);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    rows->addLayout(textRow);
    rows->addLayout(optionRow);

    connect(text_, &QLineEdit::textChanged, this, &FindBar::queryChanged);
    connect(pattern_, &QCheckBox::toggled, this, &FindBar::queryChanged);
    connect(matchCase_, &QCheckBox::toggled, this, &FindBar::queryChanged);
    connect(scopes_, &QComboBox::currentIndexChanged, this, &FindBar::scopeChanged);
    connect(previous_, &QToolButton::clicked, this, [this] { emit findRequested(false); });
    connect(next_, &QToolButton::clicked, this, [this] { emit findRequested(true); });
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        emit closed();
    });
}

SearchQuery FindBar::query() const
{
    return SearchQuery{text_->text().toStdString(), pattern_->isChecked(), matchCase_->isChecked()};
}

void FindBar::setScopes(const QStringList& names)
{
    const QSignalBlocker quiet(scopes_);
    scopes_->clear();
    scopes_->addItems(names);
    scopes_->setVisible(!names.isEmpty());
}

int FindBar::scope() const { return std::max(0, scopes_->currentIndex()); }

void FindBar::setScope(int index) { scopes_->setCurrentIndex(index); }

void FindBar::open()
{
    show();
    text_->setFocus(Qt::ShortcutFocusReason);
    text_->selectAll();
}

void FindBar::setResult(const QString& text, bool error)
{
    result_->setText(text);
    QPalette palette = result_->palette();
    palette.setColor(QPalette::WindowText, error ? QColor(200, 0, 0) : this->palette().color(QPalette::WindowText));
    result_->setPalette(palette);
}

QString FindBar::resultText() const { return result_->text(); }

void FindBar::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit findRequested(!(event->modifiers() & Qt::ShiftModifier));
        return;
    case Qt::Key_Escape:
        hide();
        emit closed();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

}  // namespace quillow
