// Message boxes: icon, buttons, the default and escape buttons, the title.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QPushButton>
#include <QTimer>
#include <vector>

#include "gui/dialogs.h"

namespace quillow {
namespace {

TEST(MessageBoxes, IconButtonsAndDefault)
{
    struct Row {
        const char* name;
        Icon kind;
        Buttons choice;
        QMessageBox::Icon icon;
        std::vector<QMessageBox::StandardButton> buttons;  // in order
        QMessageBox::StandardButton defaultButton, escapeButton;
    };
    using B = QMessageBox;
    const Row rows[] = {
        {"plain OK", Icon::None, Buttons::Ok, B::NoIcon, {B::Ok}, B::Ok, B::Ok},
        {"stop question", Icon::Question, Buttons::YesNo, B::Question, {B::Yes, B::No}, B::Yes, B::No},
        {"nothing to copy", Icon::Warning, Buttons::Ok, B::Warning, {B::Ok}, B::Ok, B::Ok},
        {"big file notice", Icon::Information, Buttons::Ok, B::Information, {B::Ok}, B::Ok, B::Ok},
        {"critical three buttons", Icon::Critical, Buttons::YesNoCancel, B::Critical, {B::Yes, B::No, B::Cancel},
         B::Yes, B::Cancel},
        {"OK and Cancel", Icon::None, Buttons::OkCancel, B::NoIcon, {B::Ok, B::Cancel}, B::Ok, B::Cancel},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto box = makeMessageBox(nullptr, QStringLiteral("你确实想停止处理吗？"), row.kind, row.choice);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Quillow"));
        EXPECT_EQ(box->text(), QStringLiteral("你确实想停止处理吗？"));
        EXPECT_EQ(box->icon(), row.icon);
        std::vector<QMessageBox::StandardButton> shown;
        for (QAbstractButton* b : box->buttons())
            shown.push_back(box->standardButton(b));
        std::sort(shown.begin(), shown.end());
        auto expected = row.buttons;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(shown, expected);
        ASSERT_TRUE(box->defaultButton());
        EXPECT_EQ(box->standardButton(box->defaultButton()), row.defaultButton);
        ASSERT_TRUE(box->escapeButton());
        EXPECT_EQ(box->standardButton(box->escapeButton()), row.escapeButton);
    }
}

TEST(MessageBoxes, ButtonsSpeakChineseAndGiveTheirAnswers)
{
    auto box = makeMessageBox(nullptr, QStringLiteral("x"), Icon::None, Buttons::YesNoCancel);
    EXPECT_EQ(box->button(QMessageBox::Yes)->text(), QStringLiteral("是(&Y)"));
    EXPECT_EQ(box->button(QMessageBox::No)->text(), QStringLiteral("否(&N)"));
    EXPECT_EQ(box->button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
    EXPECT_EQ(answerFor(QMessageBox::Yes), Answer::Yes);
    EXPECT_EQ(answerFor(QMessageBox::No), Answer::No);
    EXPECT_EQ(answerFor(QMessageBox::Ok), Answer::Ok);
    EXPECT_EQ(answerFor(QMessageBox::Cancel), Answer::Cancel);
}

// A question asked while one of the program's dialogs is open (the options
// dialog's filter test) belongs to that dialog, not to the main window.
TEST(MessageBoxes, OverAnOpenDialogTheyBelongToIt)
{
    QWidget main;
    main.show();
    QDialog options(&main);
    options.setModal(true);
    options.show();
    QtDialogs dialogs;
    std::vector<QWidget*> owners;
    auto answerNext = [&] {
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            owners.push_back(box ? box->parentWidget() : nullptr);
            if (box)
                static_cast<QDialog*>(box)->reject();
        });
    };
    answerNext();
    dialogs.messageBox(&main, "x", Icon::Information, Buttons::Ok);
    answerNext();
    dialogs.inputBox(&main, "line", "", "");
    options.close();
    answerNext();
    dialogs.messageBox(&main, "x", Icon::Information, Buttons::Ok);
    EXPECT_EQ(owners, (std::vector<QWidget*>{&options, &options, &main}));
}

}  // namespace
}  // namespace quillow
