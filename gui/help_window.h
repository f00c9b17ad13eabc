#pragma once
// The help page in a window of the program's own: Help.html, built into the
// program, in a QTextBrowser. It shows the part of the page in the interface
// language; links within the page move within it, links to the web go to
// the desktop's browser. No other program is started to show the help.
#include <QWidget>

class QTextBrowser;

namespace quillow {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    QTextBrowser* browser() const { return browser_; }
    // The page's HTML with only the section of the interface language.
    static QString pageFor(const QString& html, bool english);

private:
    QTextBrowser* browser_;
};

}  // namespace quillow
