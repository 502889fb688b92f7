// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Texts of the menus' commands and the About window (UTF-8).

#include <QString>

namespace trazzo::texts {

inline const QString ReadmeFile = QStringLiteral("Readme.txt");
inline const QString NoTextViewer = QStringLiteral("メモ帳が見つからないため参照できません。");

inline const QString AboutTitle = QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報");
inline const QString AboutName = QStringLiteral("Trazzo");
inline const QString AboutFeedback =
    QStringLiteral("当ゲームに関する感想や不具合等は下記アドレスまでご報告くだされば幸いです。");
inline const QString AboutContact = QStringLiteral("trazzo@example.org");
// The game is free software under the GNU GPL, version 3 or later (COPYING).
inline const QString AboutCopyright = QStringLiteral("© 2026 Trazzo developers, GPLv3+");

} // namespace trazzo::texts
