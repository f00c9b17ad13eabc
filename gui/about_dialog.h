#pragma once
// AboutDialog: the about box. Shows the product name and version, the five usage
// counters held in memory (so this run's scans and saves are included) and a
// link to the maker's web page. A click on the link opens the page and keeps
// the box open; a click anywhere else, Enter or Esc closes it.
#include <QDialog>
#include <QString>
#include <functional>
#include <string>

class QLabel;

namespace quillow {

struct UsageCounters;

inline constexpr const char* kMakerWebAddress = QUILLOW_HOMEPAGE;  // the package's Homepage

// The statistics block: five lines joined by "\n", each a label directly
// followed by its counter.
QString aboutStatsText(const UsageCounters& counters);

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // openLink opens the maker's page (the main window passes its own
    // openDocument); without one the desktop's browser is asked directly.
    using OpenLink = std::function<void(const std::string& url)>;
    AboutDialog(const UsageCounters& counters, const std::string& version, OpenLink openLink = {},
                QWidget* parent = nullptr);

    QLabel* nameLabel() const { return nameLabel_; }
    QLabel* versionLabel() const { return versionLabel_; }
    QLabel* statsLabel() const { return statsLabel_; }
    QLabel* linkLabel() const { return linkLabel_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setupUi(const UsageCounters& counters, const std::string& version);
    void onLinkClicked();

    OpenLink openLink_;
    QLabel* nameLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* statsLabel_ = nullptr;
    QLabel* linkLabel_ = nullptr;
    bool pressed_ = false;
    bool centred_ = false;
};

// Shows the about box modally over parent; the link opens through openLink.
void showAboutDialog(const UsageCounters& counters, bool debugMode, const AboutDialog::OpenLink& openLink,
                     QWidget* parent);

}  // namespace quillow
