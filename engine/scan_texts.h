#pragma once
// Status and message texts of the scan. Progress prefixes keep the blanks
// that separate them from the percentage.
namespace quillow {

inline constexpr const char* kScanCannotOpen = "错误: 无法打开文件";
inline constexpr const char* kScanFileEmpty = "错误: 文件为空！";
inline constexpr const char* kScanFileError = "文件错误！";
inline constexpr const char* kScanOutOfMemory = "错误: 内存不足，无法载入文件";
inline constexpr const char* kLoading = "正载入文件...";
inline constexpr const char* kLoadingPrefix = "正载入文件...        ";
inline constexpr const char* kLoaded = "文件已载入！";
inline constexpr const char* kFinding = "正查找重复项...";
inline constexpr const char* kFindingPrefix = "正查找重复项...             ";
inline constexpr const char* kFinishing = "正在结束...";
inline constexpr const char* kSorting = "正在给重复项排序...";
inline constexpr const char* kShowingList = "正在显示列表...";
inline constexpr const char* kScannedPrefix = "扫描      ";
inline constexpr const char* kScannedFound = " 行: 找到        ";
inline constexpr const char* kScannedGroups = " 个重复项包含有              ";
inline constexpr const char* kScannedEnd = " 个唯一的重复项！";
inline constexpr const char* kNoDuplicates = "没有找到重复行...";
inline constexpr const char* kInterruptedFound = " 找到重复行(被用户中断)";
inline constexpr const char* kInterruptedNone = "没有找到重复行(被用户中断)";
inline constexpr const char* kScanStopQuestion = "你确实想停止处理吗？";
inline constexpr const char* kBigFileMessage =
    "文件包含超过 32768 行！你仍可以正常使用 Quillow ，但结果将不会正常显示...";

}  // namespace quillow
