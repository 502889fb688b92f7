// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "end_game.h"

#include "board.h"
#include "texts.h"

namespace trazzo {

std::string gameOverPicture()
{
    const std::string_view stone = "0000000000000000000000000000000000000000";
    const std::string_view g9 = "0000700070700707070707007000000000000000";
    // The rows are the picture; keep them as drawn.
    // clang-format off
    return joinRows({
        stone, stone, stone, stone, stone, stone, stone,
        "0000077700000000000000000000000000000000",
        "0000700070077007707000770000000000000000",
        g9,
        "0000700000077707070707777000000000000000",
        "0000700770700707070707000000000000000000",
        g9,
        "0000077770077707070700770000000000000000",
        stone, stone,
        "0000000000000000000777000000000000000000",
        "0000000000000000007000707070077007070000",
        "0000000000000000007000707070700707700000",
        "0000000000000000007000707070777707000000",
        "0000000000000000007000707070700007000000",
        "0000000000000000007000707070700707000000",
        "0000000000000000000777000700077007000000",
        stone, stone, stone, stone, stone, stone, stone,
    });
    // clang-format on
}

void EndGame::End_Game(int &reason)
{
    m_sound.PlayEffect(texts::OutWav);
    const QByteArray message = (reason == 0 ? texts::HitWall : texts::FellInHole).toUtf8();
    m_screen.showStatus(std::string_view(message.constData(), static_cast<std::size_t>(message.size())));
    m_screen.repaintStatus();
    m_state.HeadDir = 3;
    m_state.Board = gameOverPicture();
    m_screen.Board_Paint(m_state.Board);
    m_screen.presentBoard();

    if (firstSlotOf(m_state.GameMode) >= 0) {
        // Ranked against the file as it is now, and on disk at once: the
        // name comes later, or what was typed when the game had to end.
        const int slot = m_table.rankAndEnter(m_state.GameMode, m_state.Score);
        if (slot >= 0) {
            m_sound.PlayEffect(texts::HighWav);
            const QString ranks[] = {texts::RankedFirst, texts::RankedSecond, texts::RankedThird};
            const QString prompt = ranks[slot % 3] + QLatin1Char('\n') + texts::EnterName;
            m_table.nameNewestEntry(cleanName(m_prompt.askName(prompt)));
            if (m_keep)
                m_keep();
            m_view.showHighScores();
        } else {
            m_sound.PlayEffect(texts::OverWav);
        }
    }
    m_state.GameMode = NoGame;
}

} // namespace trazzo
