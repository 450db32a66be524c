// Every text the program shows in Japanese, and the view's "Non", in one place; the compiler
// makes them Shift_JIS bytes. Portable: no <windows.h>.
#pragma once

// The main window's buttons.
inline constexpr char RefreshButtonText[] = "表示更新";
inline constexpr char UrlOnlyButtonText[] = "URLのみ";
inline constexpr char UrlTitleButtonText[] = "URL+タイトル";
inline constexpr char UrlTextButtonText[] = "URL+テキスト";
inline constexpr char ListDisplayCheckText[] = "リスト表示";

// The menu bar: each drop-down and its one entry.
inline constexpr char FileMenuText[] = "ファイル(&F)";
inline constexpr char ExitMenuText[] = "終了(&C)";
inline constexpr char EditMenuText[] = "編集(&E)";
inline constexpr char DeleteAllMenuText[] = "全削除";
inline constexpr char HelpMenuText[] = "HELP(&H)";
inline constexpr char VersionMenuText[] = "バージョン情報(&A)";

// The list's context menu; its first entry is "[title]を開く" for an address (ui/ActionTexts).
inline constexpr char OpenItemSuffix[] = "]を開く";
inline constexpr char DeleteOneItemText[] = "一件を削除";
inline constexpr char DeleteCheckedItemText[] = "複数項目（チェック選択）を削除";

// The message boxes' captions.
inline constexpr char ProgramCaption[] = "Clipwren";
inline constexpr char ExitCaption[] = "終了の確認";
inline constexpr char DeleteCaption[] = "削除の確認";
inline constexpr char ViewTextCaption[] = "TEXT内容の確認";

// The message boxes' texts.
inline constexpr char ConfirmExitMessage[] = "ホントに終了しますか？";
inline constexpr char NoMainWindowMessage[] = "メインウィンドウを作成できませんでした。";
inline constexpr char UnsavedHistoryMessage[] = "履歴を保存できませんでした。次のファイルに残しました：\r\n"; // the path follows
inline constexpr char LostHistoryPrefix[] = "履歴を保存できませんでした。"; // the number of entries follows
inline constexpr char LostHistorySuffix[] = "件の項目は失われました。";
inline constexpr char KeptNamesFullMessage[] =
    "CWHistry.kept-*.txt の名前がすべて使われているため、ほかから書き換えられた履歴を残さずに保存しました。"
    "古いファイルを削除してください。";
inline constexpr char RefusedAddressMessage[] = "このアドレスは開けません。";
inline constexpr char NothingCheckedMessage[] = "項目が選択されていません。";
inline constexpr char DeleteAllMessage[] = "全ての項目を削除しても良いですか？";
inline constexpr char DeleteOneQuestion[] = "を削除して良いですか？";              // after the entry
inline constexpr char DeleteCheckedPrefix[] = "選択された";                      // the count follows
inline constexpr char DeleteCheckedSuffix[] = "個の項目を削除しても良いですか？";

// The version window's maker label, in front of the maker's name (a macro, so that the label is
// one literal with the name from app/version.h).
#define MAKER_LABEL_PREFIX "製作者　"

// The text view's text when there is nothing to show.
inline constexpr char NothingToShowText[] = "Non";

// The title of an address entry until its page's title arrives, and for good when none does.
inline constexpr char PageTitleFallback[] = "ページタイトル不明";

// The face name of every font (15 bytes); not shown, and looked up in UTF-16 so that any system
// finds it.
inline constexpr char UiFontFace[] = "ＭＳ Ｐゴシック";
