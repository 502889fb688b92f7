// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Texts of the main window shown to the player (UTF-8): captions, menus,
// status lines of start-up, and picture loading.

#include <QString>

namespace trazzo::texts {

inline const QString AppTitle = QStringLiteral("Trazzo");

inline const QString MeasuringSpeed = QStringLiteral("システム速度を計測しています。");
inline const QString PleaseWait = QStringLiteral("しばらくお待ちください。");
inline const QString ChooseMode = QStringLiteral("始めるにはゲームモードを選択してください。");

inline const QString OpenFileTitle = QStringLiteral("ファイルを開く");
inline const QString BmpFilter = QStringLiteral("bmpファイル(*.bmp)");
inline const QString AllFilesFilter = QStringLiteral("全てのファイル(*.*)");
inline const QString PictureLoaded = QStringLiteral("ピクチャを読み込みました");

// Why a chosen picture was not taken; the old sheet stays.
inline const QString PictureMissing = QStringLiteral("ファイルが見つかりません。ピクチャは変更されていません。");
inline const QString PictureTooLarge = QStringLiteral("ピクチャが大きすぎます。ピクチャは変更されていません。");
inline const QString PictureNotBmp =
    QStringLiteral("bmp または png のピクチャではありません。ピクチャは変更されていません。");
inline const QString PictureUnreadable =
    QStringLiteral("ピクチャを読み込めませんでした。ピクチャは変更されていません。");

// A save that failed must not pass unnoticed: the scores of this run
// wait in the game, and are saved once the file can take them. %1 is the file.
inline const QString ScoresNotSaved = QStringLiteral(
    "スコアファイルを保存できませんでした。\n%1\n新しいスコアは、保存できるようになるまで繰り返し保存を試みます。");
// The game ends with scores of this run still not saved.
inline const QString ScoresLost =
    QStringLiteral("スコアファイルを保存できませんでした。\n%1\n保存できなかった新しいスコアは失われます。");

// The two start buttons, Command1(0) and Command1(1).
inline const QString RefreshButton = QStringLiteral("ﾘﾌﾚｯｼｭﾓｰﾄﾞ");
inline const QString FiveButton = QStringLiteral("ﾌｧｲﾌﾞﾓｰﾄﾞ");

// The menu bar.
inline const QString MenuGame = QStringLiteral("ｹﾞｰﾑ(&G)");
inline const QString MenuStartRefresh = QStringLiteral("ﾘﾌﾚｯｼｭﾓｰﾄﾞ開始(&R)");
inline const QString MenuStartFive = QStringLiteral("ﾌｧｲﾌﾞﾓｰﾄﾞ開始(&F)");
inline const QString MenuHighScores = QStringLiteral("ﾊｲｽｺｱ(&H)");
inline const QString MenuExit = QStringLiteral("Trazzoの終了(&X)");
inline const QString MenuOptions = QStringLiteral("ｵﾌﾟｼｮﾝ(&O)");
inline const QString MenuSound = QStringLiteral("効果音(&S)");
inline const QString MenuLoadPicture = QStringLiteral("ﾋﾟｸﾁｬ読み込み(&L)");
inline const QString MenuHelp = QStringLiteral("ﾍﾙﾌﾟ(&H)");
inline const QString MenuReadme = QStringLiteral("簡易説明(&H)");
inline const QString MenuAbout = QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&V)");

} // namespace trazzo::texts
