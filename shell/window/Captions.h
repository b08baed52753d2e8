#pragma once
// Every text the window itself shows: control captions, edit labels, the file
// dialog's filter choices and the folder browser's title. The runs' messages
// live in shell/Messages.h.

#include <array>

namespace chipshift::caption {

inline constexpr const char* kFileMode = "一つのファイルを処理する";
inline constexpr const char* kFolderMode = "フォルダー内一括処理をする";
inline constexpr const char* kSourceFileLabel = "変換元のファイル(&L):";
inline constexpr const char* kSourceFolderLabel = "変換元のフォルダ(&L):";
inline constexpr const char* kTargetFolderLabel = "保存先のフォルダ(&S):";
inline constexpr const char* kPick = "...";
inline constexpr const char* kStart = "変換開始(&S)";
inline constexpr const char* kCancel = "中止(&C)";
inline constexpr const char* kClose = "終了(&Q)";
// What lblNow shows before the first batch run.
inline constexpr const char* kIdle = "待機中";
inline constexpr const char* kFolderBrowserTitle = "フォルダを選んで下さい";
// Introduce the two credits lines, followed by the library's name and version.
inline constexpr const char* kCreditPng = "PNG入出力: ";
inline constexpr const char* kCreditZlib = "圧縮: ";

// One choice of the file-open dialog: the text shown and its patterns.
struct FileChoice {
    const char* text;
    const char* patterns;  // separated by blanks, as the Qt dialog wants them
};

// The first choice is selected whenever the dialog opens. "All files" is "*"
// rather than "*.*", so files without an extension are listed too.
inline constexpr std::array<FileChoice, 4> kFileChoices{{
    {"対応しているﾌｧｲﾙ(*.bmp:*.png)", "*.bmp *.png"},
    {"Windowsﾋﾞｯﾄﾏｯﾌﾟ(*.bmp)", "*.bmp"},
    {"PortableNetworkGraphic(*.png)", "*.png"},
    {"すべてのﾌｧｲﾙ(*.*)", "*"},
}};

}  // namespace chipshift::caption
