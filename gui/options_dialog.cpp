#include "gui/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/filter_tryout.h"
#include "app/texts.h"
#include "engine/text/text_encoding.h"
#include "engine/text/text_util.h"
#include "engine/runtime/memory_limit.h"
#include "gui/window_setup.h"

namespace quillow {

namespace {

// The list entries of the match box and the numbers they stand for.
struct MatchEntry {
    const char* caption;
    const char* number;
};
constexpr MatchEntry kMatchEntries[] = {{QT_TRANSLATE_NOOP("quillow::OptionsDialog", "全选"), "0"},
                                        {QT_TRANSLATE_NOOP("quillow::OptionsDialog", "最初"), "1"},
                                        {QT_TRANSLATE_NOOP("quillow::OptionsDialog", "最后"), "-1"}};

// The encoding box: "自动" (the stored "auto") and common encodings; any
// other ICU converter name may be typed.
constexpr const char* kAutoCaption = QT_TRANSLATE_NOOP("quillow::OptionsDialog", "自动");
constexpr const char* kEncodingNames[] = {"UTF-8",     "UTF-16LE", "UTF-16BE",     "GB18030",    "Big5",
                                          "Shift_JIS", "EUC-JP",   "EUC-KR",       "windows-1252", "ISO-8859-1",
                                          "ISO-8859-15", "windows-1251", "KOI8-R"};

// The memory box: "自动" (the stored "auto") and common sizes; any size may be typed.
constexpr const char* kMemorySizes[] = {"256M", "512M", "1G", "2G", "4G", "8G", "16G"};

// A memory setting that leaves the limit to the machine: "auto" in any case, or empty.
bool isAutoMemory(const std::string& setting)
{
    return QString::fromStdString(setting).trimmed().compare(QLatin1String(kAutoMemory), Qt::CaseInsensitive) == 0 ||
           QString::fromStdString(setting).trimmed().isEmpty();
}

// Longest texts the number boxes take: every 16-bit value fits.
constexpr int kStartPosMaxLength = 5;  // 32767
constexpr int kMatchMaxLength = 6;     // -32768

// Decimal text of a number read from a box: whole numbers without a
// fraction, "-0" as "0".
QString numberText(double v)
{
    if (v == 0)
        return QStringLiteral("0");
    if (v == std::floor(v) && std::fabs(v) < 1e15)
        return QString::number(static_cast<long long>(v));
    return QString::number(v, 'g', 15);
}

double leadingNumberOf(const QString& text) { return leadingNumber(text.toStdString()); }

// The number of a box as OK stores it: rounded halves to even and held in
// range, so a value typed or pasted beyond 16 bits cannot wrap.
int16_t boxValue(const QString& text, int lo, int hi)
{
    double v = std::clamp(leadingNumberOf(text), static_cast<double>(lo), static_cast<double>(hi));
    return toInt16(v).value_or(static_cast<int16_t>(v < 0 ? lo : hi));
}

// The key rule of both number boxes: digits (and the minus sign where
// allowed) are typed, any other printable character is dropped. Keys that
// type nothing (arrows, Delete) and control characters (Backspace, Enter,
// Esc, shortcuts) go on as usual.
bool dropKey(const QKeyEvent* key, bool allowMinus)
{
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            continue;
        if (c >= u'0' && c <= u'9')
            continue;
        if (allowMinus && c == u'-')
            continue;
        return true;
    }
    return false;
}

}  // namespace

OptionsDialog::OptionsDialog(Session& session, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      settings_(session.settings),
      result_(session.result),
      frontEnd_(session.frontEnd)
{
    setObjectName("optionsDialog");
    setWindowTitle(tr("Quillow 选项"));

    findFrame_ = new QGroupBox(tr("查找重复项"), this);
    findFrame_->setObjectName("findFrame");

    caseCheck_ = new QCheckBox(tr("匹配大小写。"), findFrame_);
    caseCheck_->setObjectName("caseCheck");

    trimCheck_ = new QCheckBox(tr("移除首尾空格。"), findFrame_);
    trimCheck_->setObjectName("trimCheck");

    compatCheck_ = new QCheckBox(tr("全角/半角等兼容字符视为相同"), findFrame_);
    compatCheck_->setObjectName("compatCheck");

    startPosLabel_ = new QLabel(tr("开始偏移:"), findFrame_);
    startPosLabel_->setObjectName("startPosLabel");

    startPosEdit_ = new QLineEdit(QStringLiteral("0"), findFrame_);
    startPosEdit_->setObjectName("startPosEdit");
    startPosEdit_->setMaxLength(kStartPosMaxLength);
    // Room for the longest number it takes, in the font it shows.
    startPosEdit_->setMaximumWidth(
        startPosEdit_->fontMetrics().horizontalAdvance(QString(kStartPosMaxLength + 2, u'0')) +
        startPosEdit_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, startPosEdit_) * 2);

    filterLabel_ = new QLabel(tr("正则表达式过滤:"), findFrame_);
    filterLabel_->setObjectName("filterLabel");

    filterEdit_ = new QLineEdit(findFrame_);
    filterEdit_->setObjectName("filterEdit");

    matchLabel_ = new QLabel(tr("匹配:"), findFrame_);
    matchLabel_->setObjectName("matchLabel");

    matchBox_ = new QComboBox(findFrame_);
    matchBox_->setObjectName("matchBox");
    matchBox_->setEditable(true);
    matchBox_->setInsertPolicy(QComboBox::NoInsert);
    matchBox_->setCompleter(nullptr);
    for (const MatchEntry& e : kMatchEntries)
        matchBox_->addItem(tr(e.caption));
    matchBox_->lineEdit()->setMaxLength(kMatchMaxLength);
    matchBox_->setEditText(QStringLiteral("0"));
    matchBox_->setMinimumContentsLength(kMatchMaxLength);
    matchBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    testFilterButton_ = new QPushButton(tr("测试过滤"), findFrame_);
    testFilterButton_->setObjectName("testFilterButton");
    testFilterButton_->setAutoDefault(false);

    saveFrame_ = new QGroupBox(tr("保存"), this);
    saveFrame_->setObjectName("saveFrame");

    saveEmptyCheck_ = new QCheckBox(tr("保存空白行。"), saveFrame_);
    saveEmptyCheck_->setObjectName("saveEmptyCheck");

    applyFilterCheck_ = new QCheckBox(tr("应用过滤到每行。"), saveFrame_);
    applyFilterCheck_->setObjectName("applyFilterCheck");

    miscFrame_ = new QGroupBox(tr("杂项"), this);
    miscFrame_->setObjectName("miscFrame");

    preserveMemoryCheck_ = new QCheckBox(tr("禁止保存记忆功能。"), miscFrame_);
    preserveMemoryCheck_->setObjectName("preserveMemoryCheck");

    encodingLabel_ = new QLabel(tr("文本编码:"), miscFrame_);
    encodingLabel_->setObjectName("encodingLabel");

    encodingBox_ = new QComboBox(miscFrame_);
    encodingBox_->setObjectName("encodingBox");
    encodingBox_->setEditable(true);
    encodingBox_->setInsertPolicy(QComboBox::NoInsert);
    encodingBox_->addItem(tr(kAutoCaption));
    for (const char* name : kEncodingNames)
        encodingBox_->addItem(QString::fromUtf8(name));

    memoryLabel_ = new QLabel(tr("内存上限:"), miscFrame_);
    memoryLabel_->setObjectName("memoryLabel");

    memoryBox_ = new QComboBox(miscFrame_);
    memoryBox_->setObjectName("memoryBox");
    memoryBox_->setEditable(true);
    memoryBox_->setInsertPolicy(QComboBox::NoInsert);
    memoryBox_->addItem(tr(kAutoCaption));
    for (const char* size : kMemorySizes)
        memoryBox_->addItem(QString::fromLatin1(size));

    okButton_ = new QPushButton(tr("确定"), this);
    okButton_->setObjectName("okButton");
    okButton_->setDefault(true);

    cancelButton_ = new QPushButton(tr("取消"), this);
    cancelButton_->setObjectName("cancelButton");
    cancelButton_->setAutoDefault(false);

    // Finding: three options, the start offset beside its label, the filter
    // under its label, and the match number with the filter test below it.
    // Each option is as wide as its text.
    auto* startRow = new QHBoxLayout;
    startRow->addWidget(startPosLabel_);
    startRow->addWidget(startPosEdit_);
    startRow->addStretch(1);
    auto* matchRow = new QHBoxLayout;
    matchRow->addSpacing(findFrame_->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing));
    matchRow->addWidget(matchLabel_);
    matchRow->addWidget(matchBox_);
    matchRow->addStretch(1);
    matchRow->addWidget(testFilterButton_);
    auto* find = new QVBoxLayout(findFrame_);
    find->addWidget(caseCheck_, 0, Qt::AlignLeft);
    find->addWidget(trimCheck_, 0, Qt::AlignLeft);
    find->addWidget(compatCheck_, 0, Qt::AlignLeft);
    find->addLayout(startRow);
    find->addWidget(filterLabel_);
    find->addWidget(filterEdit_);
    find->addLayout(matchRow);

    auto* save = new QVBoxLayout(saveFrame_);
    save->addWidget(saveEmptyCheck_, 0, Qt::AlignLeft);
    save->addWidget(applyFilterCheck_, 0, Qt::AlignLeft);

    auto* encodingRow = new QHBoxLayout;
    encodingRow->addWidget(encodingLabel_);
    encodingRow->addWidget(encodingBox_, 1);
    auto* memoryRow = new QHBoxLayout;
    memoryRow->addWidget(memoryLabel_);
    memoryRow->addWidget(memoryBox_, 1);
    auto* misc = new QVBoxLayout(miscFrame_);
    misc->addWidget(preserveMemoryCheck_, 0, Qt::AlignLeft);
    misc->addLayout(encodingRow);
    misc->addLayout(memoryRow);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(okButton_, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancelButton_, QDialogButtonBox::RejectRole);

    auto* root = new QVBoxLayout(this);
    root->addWidget(findFrame_);
    root->addWidget(saveFrame_);
    root->addWidget(miscFrame_);
    root->addWidget(buttons);
    // Fixed border: the dialog keeps the size its contents need.
    root->setSizeConstraint(QLayout::SetFixedSize);

    // Tab order: OK first, so the dialog opens with the focus on it.
    QWidget* order[] = {okButton_,      cancelButton_,    caseCheck_,       trimCheck_,
                        compatCheck_,   startPosEdit_,    filterEdit_,      matchBox_,
                        testFilterButton_, saveEmptyCheck_, applyFilterCheck_, preserveMemoryCheck_,
                        encodingBox_,   memoryBox_};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // The key rules need the keys themselves: input methods would commit
    // text past them.
    startPosEdit_->setAttribute(Qt::WA_InputMethodEnabled, false);
    matchBox_->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    // The combo box keeps the focus for its edit field and hands keys and
    // focus changes on to it directly, so the rules watch the combo box.
    startPosEdit_->installEventFilter(this);
    matchBox_->installEventFilter(this);
    matchBox_->lineEdit()->installEventFilter(this);

    connect(okButton_, &QPushButton::clicked, this, &OptionsDialog::onOkClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(testFilterButton_, &QPushButton::clicked, this, &OptionsDialog::onTestFilterClicked);
    connect(matchBox_, &QComboBox::activated, this, &OptionsDialog::onMatchChosen);

    addToolTips();
    loadFromSettings();
}

void OptionsDialog::loadFromSettings()
{
    const Options& o = settings_.options;
    caseCheck_->setChecked(o.caseSensitive);
    trimCheck_->setChecked(o.trimLines);
    compatCheck_->setChecked(o.compatForms);
    saveEmptyCheck_->setChecked(o.saveEmptyLines);
    applyFilterCheck_->setChecked(o.saveApplyFilter);
    preserveMemoryCheck_->setChecked(o.preserveMemory);
    matchBox_->setEditText(QString::number(o.filterMatch));
    startPosEdit_->setText(QString::number(o.startPos));
    filterEdit_->setText(QString::fromUtf8(o.filterPattern));
    encodingBox_->setEditText(isAutoEncoding(o.textEncoding) ? tr(kAutoCaption)
                                                              : QString::fromUtf8(o.textEncoding));
    memoryBox_->setEditText(isAutoMemory(o.maxMemory) ? tr(kAutoCaption) : QString::fromUtf8(o.maxMemory));
    applyWindowIcon(this, true);
}

void OptionsDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Centred on the screen the dialog opens on.
    if (QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        QRect frame = frameGeometry();
        move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
    okButton_->setFocus(Qt::OtherFocusReason);
}

QString OptionsDialog::startPosOnLostFocus(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("0") : text;
}

QString OptionsDialog::matchOnLostFocus(const QString& text)
{
    double v = leadingNumberOf(text);
    return v < -1 ? QStringLiteral("-1") : numberText(v);
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event)
{
    const bool isStart = watched == startPosEdit_;
    const bool isMatch = watched == matchBox_ || watched == matchBox_->lineEdit();
    if (isStart || isMatch) {
        if (event->type() == QEvent::KeyPress && dropKey(static_cast<QKeyEvent*>(event), isMatch))
            return true;
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            if (isStart)
                startPosEdit_->setText(startPosOnLostFocus(startPosEdit_->text()));
            else
                matchBox_->setEditText(matchOnLostFocus(matchBox_->currentText()));
        }
    }
    return QDialog::eventFilter(watched, event);
}

void OptionsDialog::onMatchChosen(int index)
{
    if (index >= 0 && index < static_cast<int>(std::size(kMatchEntries)))
        matchBox_->setEditText(QString::fromUtf8(kMatchEntries[index].number));
}

void OptionsDialog::onOkClicked()
{
    // A name that is no encoding is refused here, not at the next scan.
    std::string encoding = encodingBox_->currentText().trimmed().toStdString();
    if (encoding == tr(kAutoCaption).toStdString() || isAutoEncoding(encoding)) {
        encoding = kAutoEncoding;
    } else if (EncodingLookup named = encodingNamed(encoding); !named.encoding) {
        frontEnd_.messageBox(text::encodingRefusal(named.refusal), Icon::Critical, Buttons::Ok);
        encodingBox_->setFocus();
        return;
    }
    // A size the scan could not read would quietly mean "auto".
    std::string memory = memoryBox_->currentText().trimmed().toStdString();
    if (memory == tr(kAutoCaption).toStdString() || isAutoMemory(memory)) {
        memory = kAutoMemory;
    } else if (!parseMemorySize(memory)) {
        frontEnd_.messageBox(tr("内存上限无效: %1\n请输入一个大小，例如 512M 或 2G，或者选择“自动”。")
                                 .arg(QString::fromStdString(memory))
                                 .toStdString(),
                             Icon::Critical, Buttons::Ok);
        memoryBox_->setFocus();
        return;
    }
    Options& o = settings_.options;
    o.textEncoding = encoding;
    o.maxMemory = memory;
    o.compatForms = compatCheck_->isChecked();
    o.caseSensitive = caseCheck_->isChecked();
    o.trimLines = trimCheck_->isChecked();
    o.saveEmptyLines = saveEmptyCheck_->isChecked();
    o.saveApplyFilter = applyFilterCheck_->isChecked();
    o.preserveMemory = preserveMemoryCheck_->isChecked();
    // Enter takes OK without the boxes losing the focus, so their rules are
    // applied here as well: a start offset is never negative and a match
    // number below -1 means the last match, as the match box shows it.
    o.startPos = boxValue(startPosEdit_->text(), 0, INT16_MAX);
    o.filterMatch = boxValue(matchOnLostFocus(matchBox_->currentText()), -1, INT16_MAX);
    o.filterPattern = std::string(trimBlanks(filterEdit_->text().toStdString()));
    accept();
}

void OptionsDialog::onTestFilterClicked()
{
    FilterDialogValues values;
    values.caseChecked = caseCheck_->isChecked();
    values.trimChecked = trimCheck_->isChecked();
    values.startPosText = startPosEdit_->text().toStdString();
    values.pattern = filterEdit_->text().toStdString();
    values.matchText = matchBox_->currentText().toStdString();
    tryFilter(settings_.filterTestText, result_, frontEnd_, values);
}

void OptionsDialog::addToolTips()
{
    // What each option does, on the option and on its label.
    const struct {
        QWidget* option;
        QWidget* label;
        const char* tip;
    } tips[] = {
        {caseCheck_, nullptr, QT_TR_NOOP("勾选后，只有大小写也相同的行才算重复；不勾选时忽略大小写。")},
        {trimCheck_, nullptr, QT_TR_NOOP("比较时忽略每行开头和结尾的空格；文件中的行不变。")},
        {compatCheck_, nullptr,
         QT_TR_NOOP("比较时把全角与半角字母和数字、连字、带圈数字等兼容字符视为相同（NFKC）；列表中仍显示原来的行。")},
        {startPosEdit_, startPosLabel_, QT_TR_NOOP("比较时跳过每行开头的这么多个字符；0 表示比较整行。")},
        {filterEdit_, filterLabel_, QT_TR_NOOP("只比较每行中与这个正则表达式匹配的部分；留空则比较整行。")},
        {matchBox_, matchLabel_,
         QT_TR_NOOP("比较哪个匹配：0 = 所有匹配连在一起，n = 第 n 个匹配，-1 = 最后一个匹配。")},
        {testFilterButton_, nullptr,
         QT_TR_NOOP("用上面的设置在一个示例行上试用过滤；输入 line=N 可试用已载入文件的第 N 行。")},
        {saveEmptyCheck_, nullptr, QT_TR_NOOP("不勾选时，保存的文件中不写入空行。")},
        {applyFilterCheck_, nullptr,
         QT_TR_NOOP("保存时写入每行用于比较的形式（去除空格、跳过开头字符并过滤之后），而不是原来的行。")},
        {preserveMemoryCheck_, nullptr,
         QT_TR_NOOP("扫描很大的文件（32768 行以上）后释放来源行以节省内存；之后查看器和复制来源行不可用，"
                    "来源文件列表只显示“不可预览...”。")},
        {encodingBox_, encodingLabel_,
         QT_TR_NOOP("文件的文本编码。自动：按字节顺序标记、UTF-16 的特征、UTF-8 的有效性依次判断，否则由编码检测推测；"
                    "也可以输入任何编码名称（如 GB18030、Big5、Shift_JIS、windows-1252）。保存时行保持原来的字节。")},
        {memoryBox_, memoryLabel_,
         QT_TR_NOOP("扫描最多使用的内存（如 512M、2G）。文件和它的索引放不下时，借助临时文件分区查找重复项，结果相同；"
                    "自动：本机可用的内存。")},
    };
    for (const auto& t : tips) {
        t.option->setToolTip(tr(t.tip));
        if (t.label)
            t.label->setToolTip(tr(t.tip));
    }
}

}  // namespace quillow
