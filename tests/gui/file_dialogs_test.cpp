// The file dialog wrapper with a real QFileDialog, driven by a timer that acts
// on whatever modal window is up.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QTimer>
#include <QTreeView>
#include <deque>
#include <functional>
#include <vector>

#include "app/texts.h"
#include "support/temp_dir.h"
#include "gui/file_dialogs.h"

namespace quillow {
namespace {

// Runs each step on the next modal window that comes up.
class ModalScript {
public:
    using Step = std::function<void(QWidget*)>;
    explicit ModalScript(std::deque<Step> steps) : steps_(std::move(steps))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal->property("scripted").toBool())
                return;
            modal->setProperty("scripted", true);
            if (steps_.empty()) {  // more windows than the script expects: get out
                ADD_FAILURE() << "unexpected modal window " << modal->metaObject()->className();
                QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
                return;
            }
            Step step = std::move(steps_.front());
            steps_.pop_front();
            step(modal);
        });
        timer_.start(5);
    }
    bool done() const { return steps_.empty(); }

private:
    std::deque<Step> steps_;
    QTimer timer_;
};

FileDialogRequest request(const std::string& start, bool open)
{
    FileDialogRequest r;
    r.fileName = start;
    r.filter = text::kFileFilter;
    r.filterIndex = 2;
    r.defaultExt = "TXT";
    r.mustExist = open;
    r.overwritePrompt = !open;
    return r;
}

TEST(FileDialogs, OpenShowsTheFiltersAndFindsTheDefaultExtension)
{
    testing::TempDir dir;
    const std::string notes = dir.write("notes.txt", "a\n");
    QStringList filters;
    QString preselected, title, directory;
    std::vector<int> columns, needed;
    ModalScript script({[&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        // Type and date are readable without widening the columns by hand.
        if (auto* details = dialog->findChild<QTreeView*>()) {
            const QFontMetrics metrics = details->fontMetrics();
            for (int c : {2, 3})
                columns.push_back(details->header()->sectionSize(c));
            needed = {metrics.horizontalAdvance("plain text document"), metrics.horizontalAdvance("2026/12/17 11:53 PM")};
        }
        filters = dialog->nameFilters();
        preselected = dialog->selectedNameFilter();
        title = dialog->windowTitle();
        directory = dialog->directory().absolutePath();
        dialog->selectNameFilter(filters.value(0));  // the user picks "all files"
        dialog->selectFile("notes");
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept is protected
    }});
    FileDialogRequest r = request(dir.file("last.txt"), true);
    ASSERT_TRUE(FileDialogs().chooseOpenFile(r));
    EXPECT_EQ(r.fileName, notes);
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(filters, QStringList({"所有文件(*.*) (*)", "文本文档(*.txt) (*.[tT][xX][tT])"}));
    // Entry 2 preselected, shown with its description as written.
    EXPECT_EQ(preselected, "文本文档(*.txt)");
    EXPECT_EQ(title, "打开");
    EXPECT_EQ(directory.toStdString(), dir.path().string());
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_GT(columns[0], needed[0]);
    EXPECT_GT(columns[1], needed[1]);
}

TEST(FileDialogs, CancelReturnsFalse)
{
    testing::TempDir dir;
    ModalScript script({[](QWidget* w) { static_cast<QDialog*>(w)->reject(); }});
    FileDialogRequest r = request(dir.file("x.txt"), true);
    EXPECT_FALSE(FileDialogs().chooseOpenFile(r));
    EXPECT_EQ(r.fileName, "");
}

TEST(FileDialogs, OpenReportsAMissingFileAndAsksAgain)
{
    testing::TempDir dir;
    const std::string there = dir.write("there.txt", "x\n");
    QString report;
    ModalScript script({
        [](QWidget* w) {
            auto* dialog = static_cast<QFileDialog*>(w);
            dialog->selectFile("gone.txt");
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept is protected
        },
        [&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            report = box->text();
            box->accept();
        },
        [](QWidget* w) {
            auto* dialog = static_cast<QFileDialog*>(w);
            dialog->selectFile("there.txt");
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept is protected
        },
    });
    FileDialogRequest r = request(dir.file("last.txt"), true);
    ASSERT_TRUE(FileDialogs().chooseOpenFile(r));
    EXPECT_EQ(r.fileName, there);
    EXPECT_TRUE(report.contains("gone.txt"));
    EXPECT_TRUE(script.done());
}

TEST(FileDialogs, SaveConfirmsOverwritingTheNameWithItsExtension)
{
    testing::TempDir dir;
    const std::string cleaned = dir.write("cleaned.txt", "old\n");
    QString question;
    ModalScript script({
        [](QWidget* w) {
            auto* dialog = static_cast<QFileDialog*>(w);
            dialog->selectFile("cleaned");
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept is protected
        },
        [&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            question = box->text();
            box->button(QMessageBox::Yes)->click();
        },
    });
    FileDialogRequest r = request(dir.file("out.txt"), false);
    ASSERT_TRUE(FileDialogs().chooseSaveFile(r));
    EXPECT_EQ(r.fileName, cleaned);
    EXPECT_EQ(question, "cleaned.txt 已存在。\n要替换它吗？");
    EXPECT_EQ(testing::readFile(cleaned), "old\n");  // choosing writes nothing
}

}  // namespace
}  // namespace quillow
