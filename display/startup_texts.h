#pragma once

// Texts of the main window shown to the player (UTF-8).

#include <QString>

namespace trazzo::texts {

inline const QString AppTitle = QStringLiteral("Trazzo");

inline const QString PleaseWait = QStringLiteral("しばらくお待ちください。");
inline const QString ChooseMode = QStringLiteral("始めるにはゲームモードを選択してください。");

inline const QString OpenFileTitle = QStringLiteral("ファイルを開く");
inline const QString BmpFilter = QStringLiteral("bmpファイル(*.bmp)");
inline const QString AllFilesFilter = QStringLiteral("全てのファイル(*.*)");
inline const QString PictureLoaded = QStringLiteral("ピクチャを読み込みました");

// Why a chosen picture was not taken; the old sheet stays.
inline const QString PictureMissing = QStringLiteral("ファイルが見つかりません。ピクチャは変更されていません。");
inline const QString PictureTooLarge = QStringLiteral("ピクチャが大きすぎます。ピクチャは変更されていません。");
inline const QString PictureNotBmp = QStringLiteral("bmp または png のピクチャではありません。ピクチャは変更されていません。");
inline const QString PictureUnreadable = QStringLiteral("ピクチャを読み込めませんでした。ピクチャは変更されていません。");

} // namespace trazzo::texts
