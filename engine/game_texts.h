// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Status-line texts of the game itself (UTF-8).

namespace trazzo::texts {

inline constexpr const char *BuildingStage = "ステージ作成中";
inline constexpr const char *PlayingRefresh = "リフレッシュモードでプレイ中";
inline constexpr const char *PlayingFive = "ファイブモードでプレイ中";

inline constexpr const char *GoldWav = "Gold.wav";
inline constexpr const char *GetWav = "Get.wav";

} // namespace trazzo::texts
