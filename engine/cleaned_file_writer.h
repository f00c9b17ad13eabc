#pragma once
// The writing stage of the save: WriteCleanedFile (declared in
// save/save_engine.h) and the texts and helpers it shares with its tests.
#include <cstdint>
#include <string_view>

#include "engine/save.h"

namespace quillow {

inline constexpr const char* kSavePreparing = "正准备保存...";
inline constexpr const char* kSavePreparingPrefix = "正准备保存...             ";  // 13 blanks
inline constexpr const char* kSaveWriting = "正保存文件...";
inline constexpr const char* kSaveWritingPrefix = "正保存文件...       ";  // 7 blanks
inline constexpr const char* kSaveSourceUnreadable = "打开来源文件读取错误！";
inline constexpr const char* kSaveTargetUnwritable = "打开文件写入错误！";
inline constexpr const char* kSaveFailed = "保存文件错误！";
inline constexpr const char* kSaveDone = "完成保存！";
inline constexpr const char* kSaveCancelled = "保存被取消...";
inline constexpr const char* kSaveStopQuestion = "你确实要中断保存吗？";
inline constexpr const char* kTempSuffix = ".quillowtemp";

// Bytes of the byte-order mark line 1 starts with (EF BB BF, FE FF, FF FE,
// 00 00 FE FF), or 0.
size_t byteOrderMarkLength(std::string_view line);

// part / whole * 100 rounded to a whole number, an exact half to the even
// neighbour; whole <= 0 counts as 1.
int64_t percentHalfEven(int64_t part, int64_t whole);

}  // namespace quillow
