#pragma once
// ProgressBar: a self-drawn progress bar. Not a widget of its own: it paints
// into the contents rectangle of the widget given with setWidget (so a
// QFrame keeps its border) whenever that widget paints. A bar that is not
// wider than high fills from the bottom.
//
// Colours are roles of the widget's palette, so the bar follows the theme.
// QPalette::NoRole paints nothing, which is why the default colours draw
// nothing.
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QWidget>
#include <cstdint>

namespace quillow {

class ProgressBar : public QObject {
    Q_OBJECT
public:
    // A one-pixel 3-D line border inside the bar's area. A raised border is
    // drawn one pixel further in, on the content.
    enum class BorderStyle { None, Sunken, Raised };

    explicit ProgressBar(QObject* parent = nullptr);
    ~ProgressBar() override;

    // Every setter repaints the widget at once.
    int32_t minimum() const { return minimum_; }
    int32_t maximum() const { return maximum_; }
    int32_t value() const { return value_; }
    void setMinimum(int32_t minimum);
    void setMaximum(int32_t maximum);
    void setValue(int32_t value);

    QPalette::ColorRole backgroundRole() const { return backgroundRole_; }
    void setBackgroundRole(QPalette::ColorRole role);
    QPalette::ColorRole barRole() const { return barRole_; }
    void setBarRole(QPalette::ColorRole role);
    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle style);

    QWidget* widget() const { return widget_; }
    // The bar paints itself whenever the widget paints.
    void setWidget(QWidget* widget);

    // How many times the bar has painted itself; lets owners and tests see
    // that a property write repainted.
    int paintCount() const { return paintCount_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Repaints the widget now; nothing without one, or while it is hidden.
    void repaintWidget();
    double fraction() const;
    void paint(QWidget* widget);

    QPointer<QWidget> widget_;
    BorderStyle borderStyle_ = BorderStyle::Sunken;
    QPalette::ColorRole backgroundRole_ = QPalette::NoRole;
    QPalette::ColorRole barRole_ = QPalette::NoRole;
    int32_t minimum_ = 0;
    int32_t maximum_ = 100;
    int32_t value_ = 0;
    int paintCount_ = 0;
};

}  // namespace quillow
