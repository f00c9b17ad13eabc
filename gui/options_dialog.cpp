#include "gui/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "engine/line_filter.h"
#include "engine/text_util.h"
#include "gui/window_setup.h"

namespace quillow {

namespace {

// The list entries of the match box and the numbers they stand for.
struct MatchEntry {
    const char* caption;
    const char* number;
};
constexpr MatchEntry kMatchEntries[] = {{"全选", "0"}, {"最初", "1"}, {"最后", "-1"}};

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

frmSettings::frmSettings(ProgramState& state, Host& mainHost, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      state_(state),
      host_(mainHost)
{
    setObjectName("frmSettings");
    setWindowTitle(QStringLiteral("Quillow 选项"));
    setFixedSize(twipsToPixel(3510), twipsToPixel(5820));

    Frame1_ = new QGroupBox(QStringLiteral("查找重复项"), this);
    Frame1_->setObjectName("Frame1");
    placeTwips(Frame1_, 120, 120, 3255, 2895);

    chkCase_ = new QCheckBox(QStringLiteral("匹配大小写。"), Frame1_);
    chkCase_->setObjectName("chkCase");
    placeButtonTwips(chkCase_, 240, 380, 1455, 195);

    chkTrim_ = new QCheckBox(QStringLiteral("移除首尾空格。"), Frame1_);
    chkTrim_->setObjectName("chkTrim");
    placeButtonTwips(chkTrim_, 240, 690, 2895, 315);

    Label1_ = new QLabel(QStringLiteral("开始偏移:"), Frame1_);
    Label1_->setObjectName("Label1");
    placeTwips(Label1_, 240, 1200, 1095, 255);

    txtStartPos_ = new QLineEdit(QStringLiteral("0"), Frame1_);
    txtStartPos_->setObjectName("txtStartPos");
    txtStartPos_->setMaxLength(kStartPosMaxLength);
    placeTwips(txtStartPos_, 1200, 1155, 615, 285);

    Label3_ = new QLabel(QStringLiteral("正则表达式过滤:"), Frame1_);
    Label3_->setObjectName("Label3");
    placeTwips(Label3_, 240, 1680, 2055, 255);

    txtRegExp_ = new QLineEdit(Frame1_);
    txtRegExp_->setObjectName("txtRegExp");
    placeTwips(txtRegExp_, 240, 1920, 2775, 285);

    Label4_ = new QLabel(QStringLiteral("匹配:"), Frame1_);
    Label4_->setObjectName("Label4");
    placeTwips(Label4_, 360, 2400, 735, 255);

    txtMatch_ = new QComboBox(Frame1_);
    txtMatch_->setObjectName("txtMatch");
    txtMatch_->setEditable(true);
    txtMatch_->setInsertPolicy(QComboBox::NoInsert);
    txtMatch_->setCompleter(nullptr);
    for (const MatchEntry& e : kMatchEntries)
        txtMatch_->addItem(QString::fromUtf8(e.caption));
    txtMatch_->lineEdit()->setMaxLength(kMatchMaxLength);
    txtMatch_->setEditText(QStringLiteral("0"));
    placeTwips(txtMatch_, 960, 2355, 735, 315);

    cmdRegExpTest_ = new QPushButton(QStringLiteral("测试过滤"), Frame1_);
    cmdRegExpTest_->setObjectName("cmdRegExpTest");
    cmdRegExpTest_->setAutoDefault(false);
    placeTwips(cmdRegExpTest_, 1920, 2325, 975, 375);

    Frame2_ = new QGroupBox(QStringLiteral("保存"), this);
    Frame2_->setObjectName("Frame2");
    placeTwips(Frame2_, 120, 3120, 3255, 1095);

    chkSaveEmpty_ = new QCheckBox(QStringLiteral("保存空白行。"), Frame2_);
    chkSaveEmpty_->setObjectName("chkSaveEmpty");
    placeButtonTwips(chkSaveEmpty_, 240, 325, 1815, 195);

    chkSaveApplyFilter_ = new QCheckBox(QStringLiteral("应用过滤到每行。"), Frame2_);
    chkSaveApplyFilter_->setObjectName("chkSaveApplyFilter");
    placeButtonTwips(chkSaveApplyFilter_, 240, 690, 2655, 195);

    Frame3_ = new QGroupBox(QStringLiteral("杂项"), this);
    Frame3_->setObjectName("Frame3");
    placeTwips(Frame3_, 120, 4320, 3255, 800);

    chkPreserveMemory_ = new QCheckBox(QStringLiteral("禁止保存记忆功能。"), Frame3_);
    chkPreserveMemory_->setObjectName("chkPreserveMemory");
    placeButtonTwips(chkPreserveMemory_, 240, 325, 2775, 255);

    cmdOk_ = new QPushButton(QStringLiteral("确定"), this);
    cmdOk_->setObjectName("cmdOk");
    cmdOk_->setDefault(true);
    placeTwips(cmdOk_, 1080, 5280, 1095, 375);

    cmdCancel_ = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel_->setObjectName("cmdCancel");
    cmdCancel_->setAutoDefault(false);
    placeTwips(cmdCancel_, 2280, 5280, 1095, 375);

    // Tab order: OK first, so the dialog opens with the focus on it.
    QWidget* order[] = {cmdOk_, cmdCancel_, chkCase_, chkTrim_, txtStartPos_, txtRegExp_, txtMatch_,
                        cmdRegExpTest_, chkSaveEmpty_, chkSaveApplyFilter_, chkPreserveMemory_};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // The key rules need the keys themselves: input methods would commit
    // text past them.
    txtStartPos_->setAttribute(Qt::WA_InputMethodEnabled, false);
    txtMatch_->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    // The combo box keeps the focus for its edit field and hands keys and
    // focus changes on to it directly, so the rules watch the combo box.
    txtStartPos_->installEventFilter(this);
    txtMatch_->installEventFilter(this);
    txtMatch_->lineEdit()->installEventFilter(this);

    connect(cmdOk_, &QPushButton::clicked, this, &frmSettings::cmdOk_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdRegExpTest_, &QPushButton::clicked, this, &frmSettings::cmdRegExpTest_Click);
    connect(txtMatch_, &QComboBox::activated, this, &frmSettings::txtMatch_Click);

    Form_Load();
}

void frmSettings::Form_Load()
{
    if (!filterEngineAvailable()) {
        txtRegExp_->setEnabled(false);
        txtMatch_->setEnabled(false);
        cmdRegExpTest_->setEnabled(false);
    }
    chkCase_->setChecked(state_.caseSensitive != 0);
    chkTrim_->setChecked(state_.trimLines != 0);
    chkSaveEmpty_->setChecked(state_.saveEmptyLines != 0);
    chkSaveApplyFilter_->setChecked(state_.saveApplyFilter != 0);
    chkPreserveMemory_->setChecked(state_.preserveMemory != 0);
    txtMatch_->setEditText(QString::number(state_.iRegExpMatch));
    txtStartPos_->setText(QString::number(state_.iStartPos));
    txtRegExp_->setText(QString::fromUtf8(state_.sRegExp));
    applyWindowIcon(this, true);
}

void frmSettings::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Centred on the screen the dialog opens on.
    if (QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        QRect frame = frameGeometry();
        move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
    cmdOk_->setFocus(Qt::OtherFocusReason);
}

QString frmSettings::startPosOnLostFocus(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("0") : text;
}

QString frmSettings::matchOnLostFocus(const QString& text)
{
    double v = leadingNumberOf(text);
    return v < -1 ? QStringLiteral("-1") : numberText(v);
}

bool frmSettings::eventFilter(QObject* watched, QEvent* event)
{
    const bool isStart = watched == txtStartPos_;
    const bool isMatch = watched == txtMatch_ || watched == txtMatch_->lineEdit();
    if (isStart || isMatch) {
        if (event->type() == QEvent::KeyPress && dropKey(static_cast<QKeyEvent*>(event), isMatch))
            return true;
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            if (isStart)
                txtStartPos_->setText(startPosOnLostFocus(txtStartPos_->text()));
            else
                txtMatch_->setEditText(matchOnLostFocus(txtMatch_->currentText()));
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSettings::txtMatch_Click(int index)
{
    if (index >= 0 && index < static_cast<int>(std::size(kMatchEntries)))
        txtMatch_->setEditText(QString::fromUtf8(kMatchEntries[index].number));
}

void frmSettings::cmdOk_Click()
{
    state_.caseSensitive = chkCase_->isChecked() ? 1 : 0;
    state_.trimLines = chkTrim_->isChecked() ? 1 : 0;
    state_.saveEmptyLines = chkSaveEmpty_->isChecked() ? 1 : 0;
    state_.saveApplyFilter = chkSaveApplyFilter_->isChecked() ? 1 : 0;
    state_.preserveMemory = chkPreserveMemory_->isChecked() ? 1 : 0;
    // Enter takes OK without the boxes losing the focus, so their rules are
    // applied here as well: a start offset is never negative and a match
    // number below -1 means the last match, as the match box shows it.
    state_.iStartPos = boxValue(txtStartPos_->text(), 0, INT16_MAX);
    state_.iRegExpMatch = boxValue(matchOnLostFocus(txtMatch_->currentText()), -1, INT16_MAX);
    state_.sRegExp = std::string(trimBlanks(txtRegExp_->text().toStdString()));
    accept();
}

void frmSettings::cmdRegExpTest_Click()
{
    FilterTestControls controls;
    controls.caseChecked = chkCase_->isChecked();
    controls.trimChecked = chkTrim_->isChecked();
    controls.startPosText = txtStartPos_->text().toStdString();
    controls.pattern = txtRegExp_->text().toStdString();
    controls.matchText = txtMatch_->currentText().toStdString();
    TestRegExp(state_, host_, controls);
}

void showSettingsDialog(ProgramState& state, Host& mainHost, QWidget* parent)
{
    frmSettings dialog(state, mainHost, parent);
    dialog.exec();
}

}  // namespace quillow
