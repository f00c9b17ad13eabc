#include "app/texts.h"

#include <cstring>

#include "engine/io/file_info.h"

namespace quillow::text {

namespace {

// The save's rounding: to the nearest whole number, an exact half to the
// even neighbour.
int64_t percentHalfEven(int64_t part, int64_t whole)
{
    if (whole <= 0)
        whole = 1;
    int64_t num = part * 100;
    int64_t q = num / whole, r = num % whole;
    if (r < 0) {  // floor division for a negative part
        --q;
        r += whole;
    }
    if (2 * r > whole || (2 * r == whole && (q & 1)))
        ++q;
    return q;
}

// Each stage's text and the blanks between it and the percentage.
const char* progressPrefix(Stage stage)
{
    //: A progress text; the percentage follows the blanks.
    switch (stage) {
    case Stage::Loading:
        return QT_TRANSLATE_NOOP("quillow::text", "正载入文件...        ");
    case Stage::Finding:
        return QT_TRANSLATE_NOOP("quillow::text", "正查找重复项...             ");
    case Stage::Grouping:
        return QT_TRANSLATE_NOOP("quillow::text", "正在归组重复项...       ");
    case Stage::Sorting:
        return QT_TRANSLATE_NOOP("quillow::text", "正在给重复项排序...       ");
    case Stage::PreparingSave:
        return QT_TRANSLATE_NOOP("quillow::text", "正准备保存...             ");
    case Stage::Writing:
        return QT_TRANSLATE_NOOP("quillow::text", "正保存文件...       ");
    case Stage::Selecting:
        return QT_TRANSLATE_NOOP("quillow::text", "正在选择...      ");
    default:
        break;
    }
    return "";
}

}  // namespace

std::string programVersion(bool debugMode)
{
    return std::string(kVersion) + (debugMode ? " Debug Version" : "");
}

std::string productVersion(bool debugMode)
{
    return std::string(kProductName) + " " + programVersion(debugMode);
}

int64_t progressPercent(Stage stage, int64_t done, int64_t total)
{
    if (stage == Stage::PreparingSave || stage == Stage::Writing)
        return percentHalfEven(done, total);
    return total > 0 ? done * 100 / total : 0;
}

const char* stageStatus(Stage stage)
{
    switch (stage) {
    case Stage::Loading:
        return kLoading;
    case Stage::Loaded:
        return kLoaded;
    case Stage::Finding:
        return kFinding;
    case Stage::FindingOnDisk:
        return kFindingOnDisk;
    case Stage::Grouping:
        return kGrouping;
    case Stage::Finishing:
        return kFinishing;
    case Stage::Sorting:
        return kSorting;
    case Stage::PreparingSave:
        return kSavePreparing;
    case Stage::Writing:
        return kSaveWriting;
    case Stage::Selecting:
        return kSelecting;
    }
    return "";
}

std::string progressText(Stage stage, int64_t done, int64_t total)
{
    return translated(progressPrefix(stage)) + std::to_string(progressPercent(stage, done, total)) + "%";
}

std::string progressText(const char* prefix, int64_t done, int64_t total)
{
    return translated(prefix) + std::to_string(total > 0 ? done * 100 / total : 0) + "%";
}

std::string failureDetail(const std::string& file, int error)
{
    std::string reason;
    if (error == kNotRegularError) {
        reason = translated(kNotRegularFile);
    } else if (error == kChangedWhileReadError) {
        reason = translated(kChangedWhileRead);
    } else if (error == kUnsafeLinkError) {
        reason = translated(kUnsafeLink);
    } else if (error > 0) {
        char buffer[256];
        reason = ::strerror_r(error, buffer, sizeof buffer);  // the system's words, in its language
    }
    if (file.empty())
        return reason;
    return reason.empty() ? file : file + ": " + reason;
}

std::string failureStatus(const char* documented, const std::string& file, int error)
{
    const std::string detail = failureDetail(file, error);
    return detail.empty() ? translated(documented) : translated(documented) + " " + detail;
}

std::string failureMessage(const char* documented, const std::string& file, int error)
{
    const std::string detail = failureDetail(file, error);
    return detail.empty() ? translated(documented) : translated(documented) + "\n" + detail;
}

std::string unflushedReason(int error)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "已写入，但无法把所在文件夹写入磁盘: %1")),
               failureDetail({}, error));
}

std::string writtenUnflushed(const std::string& file, int error) { return file + ": " + unflushedReason(error); }

std::string encodingRefusal(const EncodingRefusal& refusal)
{
    return arg(translated(refusal.unsupported ? kUnsupportedEncoding : kUnknownEncoding), refusal.name);
}

std::string badStoredSetting(const std::string& file, const std::string& key, const std::string& why)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "设置文件 %1 中的 %2 无效: %3")), file, key, why);
}

std::string slashCutWarning(const std::string& argument)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text",
                                    "警告: 斜杠开关截断了路径 %1；含有斜杠的路径请用 GNU 选项: quillow-cli 输入文件 -o "
                                    "输出文件 (见 quillow-cli --help)")),
               argument);
}

std::string saveSummary(int64_t dropped, const std::string& target)
{
    return arg(translatedN(QT_TRANSLATE_N_NOOP("quillow::text", "完成保存！删除了 %n 行，已写入 %1"), dropped),
               target);
}

std::string reloadStatus(int64_t kept, int64_t lost)
{
    std::string status =
        translatedN(QT_TRANSLATE_N_NOOP("quillow::text", "已重新载入，保留了 %n 个勾选。"), kept);
    if (lost > 0)
        status += translatedN(QT_TRANSLATE_N_NOOP("quillow::text", "%n 个勾选的行已改变或不再重复。"), lost);
    return status;
}

std::string scanSummary(int64_t lines, int64_t entries, int64_t groups)
{
    return arg(translatedN(QT_TRANSLATE_N_NOOP("quillow::text",
                                       "扫描      %1 行: 找到        %2 个重复项包含有              %n 个唯一的重复项！"),
                   groups),
               std::to_string(lines), std::to_string(entries));
}

std::string scanInterrupted(int64_t entries)
{
    if (entries > 0)
        return translatedN(QT_TRANSLATE_N_NOOP("quillow::text", "%n 找到重复行(被用户中断)"), entries);
    return translated(QT_TRANSLATE_NOOP("quillow::text", "没有找到重复行(被用户中断)"));
}

std::string selectionStatus(int64_t selected, int64_t entries)
{
    return arg(translated(QT_TRANSLATE_NOOP("quillow::text", "%1 共  %2 个重复项已选定。")),
               std::to_string(selected), std::to_string(entries));
}

}  // namespace quillow::text
