// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Texts of the end of a game and the high-score window (UTF-8).

#include <QString>

namespace trazzo::texts {

inline const QString ScoreFileHeader = QStringLiteral("Trazzo スコアファイル ");

inline const QString HitWall = QStringLiteral("壁にぶつかってしまい、ゲームオーバーです。");
inline const QString FellInHole = QStringLiteral("穴に落ちてしまい、ゲームオーバーです。");
inline const QString RankedFirst = QStringLiteral("スコアが１位にランクインしました。");
inline const QString RankedSecond = QStringLiteral("スコアが２位にランクインしました。");
inline const QString RankedThird = QStringLiteral("スコアが３位にランクインしました。");
inline const QString EnterName = QStringLiteral("名前を入力して下さい。");
inline const QString NamePromptTitle = QStringLiteral("Trazzo");

inline const QString HighScoreTitle = QStringLiteral("Trazzo ﾊｲｽｺｱ");
inline const QString RefreshHeading = QStringLiteral("リフレッシュモード");
inline const QString FiveHeading = QStringLiteral("ファイブモード");

inline constexpr const char *OutWav = "Out.wav";
inline constexpr const char *HighWav = "High.wav";
inline constexpr const char *OverWav = "Over.wav";

} // namespace trazzo::texts
