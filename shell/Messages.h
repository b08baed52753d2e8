#pragma once
// The texts the runs show to the user.

namespace chipshift::msg {

inline constexpr const char* kNoFile = "ﾌｧｲﾙがありません";
inline constexpr const char* kNoFolder = "ﾌｫﾙﾀﾞがありません";
inline constexpr const char* kWrongSize = "不正なサイズです。";
inline constexpr const char* kDone = "処理完了！";
inline constexpr const char* kNoSourceFolder = "変換元ﾌｫﾙﾀﾞがありません";
inline constexpr const char* kNoTargetFolder = "変換先ﾌｫﾙﾀﾞがありません";
inline constexpr const char* kBatchRunning = "処理中...";
inline constexpr const char* kBatchDone = "処理完了";
inline constexpr const char* kNotBmpOrPng = "bmpもしくはpng以外対応してません。";
// Followed by the path of the source file that an output would replace.
inline constexpr const char* kWouldReplaceSource = "変換元ﾌｧｲﾙを上書きするため変換しません: ";

}  // namespace chipshift::msg
