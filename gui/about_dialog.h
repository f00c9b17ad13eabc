#pragma once
// frmAbout: the about box. Shows the product name and version, the five usage
// counters held in memory (so this run's scans and saves are included) and a
// link to the maker's web page. A click on the link opens the page and keeps
// the box open; a click anywhere else, Enter or Esc closes it.
#include <QDialog>
#include <QString>
#include <functional>
#include <string>

class QLabel;

namespace quillow {

class Host;
struct UsageCounters;

inline constexpr const char* kMakerWebAddress = "https://quillow.example.org";

// The statistics block: five lines joined by "\n", each a label directly
// followed by its counter.
QString aboutStatsText(const UsageCounters& counters);

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // openLink opens the maker's page (the main window passes the Host's
    // openDocument); without one the desktop's browser is asked directly.
    using OpenLink = std::function<void(const std::string& url)>;
    frmAbout(const UsageCounters& counters, const std::string& version, OpenLink openLink = {},
             QWidget* parent = nullptr);

    QLabel* lblVersion() const { return lblVersion_; }
    QLabel* lblStats() const { return lblStats_; }
    QLabel* lblWeb() const { return lblWeb_; }
    QLabel* productName() const { return label5_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load(const UsageCounters& counters, const std::string& version);
    void lblWeb_Click();

    OpenLink openLink_;
    QLabel* label5_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblStats_ = nullptr;
    QLabel* lblWeb_ = nullptr;
    bool pressed_ = false;
    bool centred_ = false;
};

// Shows the about box modally over parent; the link opens through
// host.openDocument.
void showAboutDialog(const UsageCounters& counters, bool debugMode, Host& host, QWidget* parent);

}  // namespace quillow
