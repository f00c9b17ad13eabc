#include "gui/window_setup.h"

#include <QFile>
#include <QVariant>
#include <QWidget>
#include <cmath>

// Q_INIT_RESOURCE has to be used outside any namespace.
static void registerQuillowResources()
{
    Q_INIT_RESOURCE(quillow);
}

namespace quillow {

namespace {

constexpr const char* kPreviousMinimum = "quillowPreviousMinimumSize";
constexpr int kIconSizes[] = {16, 24, 32, 48};

}  // namespace

void registerResources()
{
    static const bool registered = (registerQuillowResources(), true);
    (void)registered;
}

int twipsToPixel(double twips)
{
    return static_cast<int>(std::nearbyint(twips / kTwipsPerPixel));
}

QSize twipsToPixels(QSize twips)
{
    return QSize(twipsToPixel(twips.width()), twipsToPixel(twips.height()));
}

QSize frameExtent(const QWidget* window) { return window->frameGeometry().size() - window->size(); }

bool settleOuterSize(QWidget* window, QSize& pendingOuter)
{
    if (!pendingOuter.isValid() || !window->isVisible())
        return false;
    const QSize frame = frameExtent(window);
    if (frame.width() <= 0 && frame.height() <= 0)
        return false;
    const QSize outer = pendingOuter;
    pendingOuter = QSize();
    window->resize(outer - frame);
    return true;
}

bool setMinimumClientSize(QWidget* window, QSize minClientTwips, bool debugMode)
{
    if (!window || debugMode)
        return false;
    // Keep the size from before the first call, so restoreMinimumSize really
    // restores it.
    if (!window->property(kPreviousMinimum).isValid())
        window->setProperty(kPreviousMinimum, window->minimumSize());
    // A top-level widget's size is its client area: the frame is not included.
    window->setMinimumSize(twipsToPixels(minClientTwips).expandedTo(window->minimumSizeHint()));
    return true;
}

void restoreMinimumSize(QWidget* window)
{
    if (!window)
        return;
    const QVariant previous = window->property(kPreviousMinimum);
    if (!previous.isValid())
        return;
    window->setMinimumSize(previous.toSize());
    window->setProperty(kPreviousMinimum, QVariant());
}

QIcon programIcon()
{
    registerResources();
    QIcon icon;
    for (int size : kIconSizes) {
        const QString file = QStringLiteral(":/icons/app/%1.png").arg(size);
        if (QFile::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

void applyWindowIcon(QWidget* window, bool toOwner)
{
    if (!window)
        return;
    const QIcon icon = programIcon();
    if (toOwner) {
        QWidget* top = window->window();
        while (QWidget* owner = top->parentWidget())
            top = owner->window();
        top->setWindowIcon(icon);
    }
    window->setWindowIcon(icon);
}

QIcon buttonIcon(const QString& name)
{
    registerResources();
    return QIcon(QStringLiteral(":/icons/buttons/%1.svg").arg(name));
}

QString resourcePath(const QString& name)
{
    registerResources();
    return QStringLiteral(":/") + name;
}

}  // namespace quillow
