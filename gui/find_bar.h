#pragma once
// The find bar under a list: the text or pattern to find, whether it is a
// pattern and whether case counts, next and previous, and how many rows
// were found. With scopes (the main window's two lists) it also says which
// list it searches. The bar only reports what the user asks; FindController
// does the finding.
#include <QWidget>

#include "app/line_search.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace quillow {

class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    SearchQuery query() const;
    // The lists the bar can search, in order; none: one list, no choice shown.
    void setScopes(const QStringList& names);
    int scope() const;
    void setScope(int index);
    // Shows the bar with the focus in its text, all of it selected.
    void open();
    // What the search found so far; error: the text is shown as a fault.
    void setResult(const QString& text, bool error = false);
    QString resultText() const;
    QLineEdit* textEdit() const { return text_; }

signals:
    void queryChanged();
    void scopeChanged();
    void findRequested(bool forward);
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QComboBox* scopes_;
    QLineEdit* text_;
    QCheckBox* pattern_;
    QCheckBox* matchCase_;
    QToolButton* previous_;
    QToolButton* next_;
    QLabel* result_;
};

}  // namespace quillow
