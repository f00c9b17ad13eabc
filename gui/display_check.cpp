#include "gui/display_check.h"

#include <QGuiApplication>
#include <QtGlobal>
#include <cstdlib>

#include "app/translation.h"

namespace quillow {

namespace {

constexpr const char* kContext = "quillow::DisplayCheck";

// While the platforms are tried, the complaints of the ones that fail are
// ours to sum up.
QtMessageHandler previousHandler = nullptr;

void quietPlatforms(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category && QByteArray(context.category).startsWith("qt.qpa."))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

DisplayCheck::DisplayCheck(const std::vector<std::string>& args)
{
    if (!environment("QT_QPA_PLATFORM").empty())
        return;
    for (const std::string& a : args)
        if (a == "-platform" || a.starts_with("-platform=") || a == "--platform" || a.starts_with("--platform="))
            return;
    const std::string wayland = environment("WAYLAND_DISPLAY");
    const std::string x11 = environment("DISPLAY");
    if (wayland.empty() && x11.empty()) {
        missing_ = text::translated(QT_TRANSLATE_NOOP("quillow::DisplayCheck", "DISPLAY 和 WAYLAND_DISPLAY 都没有设置"),
                                    kContext);
        return;
    }
    display_ = !wayland.empty() ? wayland : x11;
    std::string platforms;
    if (!wayland.empty())
        platforms += "wayland;";
    if (!x11.empty())
        platforms += "xcb;";
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platforms + "offscreen"));
    previousHandler = qInstallMessageHandler(quietPlatforms);
    checking_ = true;
}

std::string DisplayCheck::failure() const
{
    if (!checking_)
        return {};
    // The choice was for this program alone, not for what it starts.
    qunsetenv("QT_QPA_PLATFORM");
    qInstallMessageHandler(previousHandler);
    if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
        return {};
    return text::arg(text::translated(QT_TRANSLATE_NOOP("quillow::DisplayCheck", "无法连接到 %1"), kContext),
                     display_);
}

std::string DisplayCheck::message(const std::string& reason)
{
    return text::arg(text::translated(QT_TRANSLATE_NOOP("quillow::DisplayCheck",
                                                        "quillow: 无法打开显示 (%1)；quillow-cli 无需显示即可完成同样的工作"),
                                      kContext),
                     reason) +
           "\n";
}

}  // namespace quillow
