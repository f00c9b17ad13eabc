// What users see of the windows' layouts: every control present in its order
// and relative place, the Tab key's way through them, nothing cut off and
// nothing covering another control,
// in Chinese and English, in the usual and a larger font, at the main
// window's smallest and a large size.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSettings>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gui/about_dialog.h"
#include "gui/copy_dialog.h"
#include "gui/main_window.h"
#include "gui/options_dialog.h"
#include "gui/translations.h"
#include "gui/viewer_window.h"
#include "support/scripted_dialogs.h"
#include "language_fixture.h"
#include "support/temp_dir.h"

namespace quillow {
namespace {

std::string nameOf(const QWidget* w) { return w->objectName().toStdString(); }

// A control of ours: Qt names the parts inside its own widgets "qt_...".
bool isControl(const QWidget* w)
{
    return !w->isWindow() && w->isVisible() && !w->objectName().isEmpty() &&
           !w->objectName().startsWith(QLatin1String("qt_"));
}

std::string sizeText(QSize s) { return std::to_string(s.width()) + " x " + std::to_string(s.height()); }

QRect inWindow(const QWidget* w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

// Whatever of window is cut off or covered: a control smaller than its text
// needs, reaching out of its parent, or overlapping a sibling.
std::vector<std::string> faults(const QWidget* window)
{
    std::vector<std::string> found;
    const QList<QWidget*> all = window->findChildren<QWidget*>();
    for (const QWidget* w : all) {
        if (!isControl(w))
            continue;
        const QWidget* parent = w->parentWidget();
        if (!parent->rect().contains(w->geometry()))
            found.push_back(nameOf(w) + " reaches out of its parent");
        QSize need;
        const auto* label = qobject_cast<const QLabel*>(w);
        if (label && label->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored)
            ;  // shrinks its font to fit instead (the status text)
        else if (label && label->wordWrap())
            need = QSize(0, label->heightForWidth(label->width()));
        else if (label || qobject_cast<const QAbstractButton*>(w))
            need = w->sizeHint();
        else if (qobject_cast<const QGroupBox*>(w) || qobject_cast<const QComboBox*>(w) ||
                 qobject_cast<const QLineEdit*>(w))
            need = w->minimumSizeHint();
        else if (const auto* bar = qobject_cast<const QProgressBar*>(w); bar && bar->isTextVisible())
            need = QSize(bar->fontMetrics().horizontalAdvance(QStringLiteral("100%")), bar->fontMetrics().height());
        if (w->width() < need.width() || w->height() < need.height())
            found.push_back(nameOf(w) + " is cut off: " + sizeText(w->size()) + " of " + sizeText(need));
        for (const QWidget* other : all)
            if (other != w && other->parentWidget() == parent && isControl(other) && nameOf(w) < nameOf(other) &&
                w->geometry().intersects(other->geometry()))
                found.push_back(nameOf(w) + " overlaps " + nameOf(other));
    }
    return found;
}

// Each control after the first lies below or to the right of the one before.
void expectInOrder(const QWidget* window, const std::vector<const char*>& names)
{
    for (size_t i = 1; i < names.size(); ++i) {
        const QWidget* before = window->findChild<QWidget*>(names[i - 1]);
        const QWidget* after = window->findChild<QWidget*>(names[i]);
        ASSERT_TRUE(before && after) << names[i - 1] << ", " << names[i];
        const QRect a = inWindow(before), b = inWindow(after);
        EXPECT_TRUE(b.top() > a.bottom() || b.left() > a.right()) << names[i] << " does not follow " << names[i - 1];
    }
}

// The controls the Tab key goes round, in order, from first (of a group of
// option buttons it visits the one that is on).
std::vector<std::string> tabChain(QWidget* window, const std::vector<std::string>& expected)
{
    std::vector<std::string> chain;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        if (w->window() == window && isControl(w) && w->focusPolicy() != Qt::NoFocus)
            chain.push_back(nameOf(w));
    if (!expected.empty())
        if (auto first = std::find(chain.begin(), chain.end(), expected.front()); first != chain.end())
            std::rotate(chain.begin(), first, chain.end());
    return chain;
}

struct WindowCase {
    const char* name;
    std::vector<std::vector<const char*>> orders;
    std::vector<std::string> tabs;
};

const WindowCase kWindows[] = {
    {"main window",
     {{"openButton", "saveButton", "selectButton", "viewerButton", "optionsButton", "aboutButton", "progressArea"},
      {"sourceLabel", "encodingLabel"},
      {"sourceLabel", "sourceList", "dupsLabel", "dupsList", "statusText"},
      {"aboutButton", "sourceList"}},
     {"openButton", "saveButton", "selectButton", "viewerButton", "optionsButton", "aboutButton", "sourceList",
      "dupsList"}},
    {"options dialog",
     {{"findFrame", "saveFrame", "miscFrame", "okButton", "cancelButton"},
      {"caseCheck", "trimCheck", "compatCheck", "startPosLabel", "startPosEdit", "filterLabel", "filterEdit",
       "matchLabel", "matchBox", "testFilterButton"},
      {"saveEmptyCheck", "applyFilterCheck"},
      {"preserveMemoryCheck", "encodingLabel", "encodingBox", "memoryLabel", "memoryBox"}},
     {"okButton", "cancelButton", "caseCheck", "trimCheck", "compatCheck", "startPosEdit", "filterEdit", "matchBox",
      "testFilterButton", "saveEmptyCheck", "applyFilterCheck", "preserveMemoryCheck", "encodingBox", "memoryBox"}},
    {"copy dialog",
     {{"rangeFrame", "contentFrame", "copyButton", "cancelButton"},
      {"range0", "range1", "range2"},
      {"content0", "content1", "content2"}},
     {"range0", "range1", "range2", "content0", "content1", "content2", "copyButton", "cancelButton"}},
    {"about box",
     {{"logoLabel", "linkLabel"},
      {"logoLabel", "infoFrame", "separator", "noticeLabel"},
      {"nameLabel", "versionLabel"},
      {"nameLabel", "statsLabel"}},
     {}},
    {"viewer", {{"lineTable", "statusBar"}}, {"lineTable"}},
};

class LayoutTest : public testing::LanguageFixture {
protected:
    void use(Language language, double fontScale)
    {
        LanguageFixture::use(language);
        QFont f = font;
        f.setPointSizeF(font.pointSizeF() * fontScale);
        QApplication::setFont(f);
    }
};

TEST_F(LayoutTest, EveryWindowShowsEachControlWholeAndInItsPlace)
{
    struct Row {
        const char* name;
        Language language;
        double fontScale;
    };
    const Row rows[] = {
        {"Chinese", Language::Chinese, 1.0},
        {"English", Language::English, 1.0},
        {"Chinese, larger font", Language::Chinese, 1.5},
        {"English, larger font", Language::English, 1.5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        use(row.language, row.fontScale);
        Settings settings;
        testing::ScriptedDialogs dialogs;
        MainWindow main(settings, dialogs, parseCommandLine({}, Program::Desktop));
        main.showAtStart();
        main.firstActivation();
        dialogs.openFiles.push_back(files.write("in.txt", "a\nb\na\n"));
        main.onOpenClicked();
        OptionsDialog options(main.session());
        CopyDialog copy(main.session(), 0);
        AboutDialog about(settings.counters, "3.0");
        ViewerWindow viewer(main.session());
        QWidget* windows[] = {&main, &options, &copy, &about, &viewer};
        for (size_t i = 0; i < std::size(windows); ++i) {
            SCOPED_TRACE(kWindows[i].name);
            windows[i]->show();
            QApplication::processEvents();  // the viewer fills its rows
            QApplication::processEvents();  // and the layouts follow the new texts
            for (const auto& order : kWindows[i].orders)
                expectInOrder(windows[i], order);
            EXPECT_EQ(faults(windows[i]), std::vector<std::string>{});
            EXPECT_EQ(tabChain(windows[i], kWindows[i].tabs), kWindows[i].tabs);
        }
        // The main window at its smallest and at a large size.
        for (QSize size : {QSize(1, 1), QSize(1200, 900)}) {
            SCOPED_TRACE(size.width());
            main.resize(size);
            EXPECT_EQ(faults(&main), std::vector<std::string>{});
            for (const auto& order : kWindows[0].orders)
                expectInOrder(&main, order);
        }
    }
}

}  // namespace
}  // namespace quillow
