// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "end_game.h"
#include "high_scores.h"

#include <QImage>
#include <QInputDialog>
#include <QPointer>
#include <QWidget>

#include <array>
#include <optional>

class QLabel;

namespace trazzo {

// One line of the high-score window: "1.    850 Taro".
QString scoreLine(int slot, const ScoreEntry &entry);

// The window's marble background with its two sunken panels, 222 x 148.
QImage highScoreBackground();

// The high-score window. A read-only view of the table as it was when the
// window opened; any key closes it. The main window is disabled while it
// is open, so only one can be open at a time.
class Form3 : public QWidget {
    Q_OBJECT
public:
    static constexpr int Width = 222;
    static constexpr int Height = 148;

    Form3(const HighScores &table, QWidget *mainWindow);

    QLabel *Label1(int index) const { return m_headings.at(static_cast<std::size_t>(index)); }
    QLabel *Label2(int index) const { return m_lines.at(static_cast<std::size_t>(index)); }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load(const HighScores &table);
    void Form_Unload();

    QPointer<QWidget> m_mainWindow;
    QImage m_background;
    bool m_altHeld = false;
    std::array<QLabel *, 2> m_headings{};
    std::array<QLabel *, 6> m_lines{};
};

// Opens Form3, or brings the open one to the front without refilling it.
class HighScoreWindow : public HighScoreView {
public:
    HighScoreWindow(const HighScores &table, QWidget *mainWindow) : m_table(table), m_mainWindow(mainWindow) {}
    ~HighScoreWindow() override;

    void showHighScores() override;
    Form3 *window() const { return m_window; }

private:
    const HighScores &m_table;
    QWidget *m_mainWindow;
    QPointer<Form3> m_window;
};

// The name prompt as a modal input box over the main window.
class DialogNamePrompt : public NamePrompt {
public:
    explicit DialogNamePrompt(QWidget *parent) : m_parent(parent) {}
    QString askName(const QString &prompt) override;
    // What is typed in the prompt while it is open.
    std::optional<QString> typedSoFar() const;

private:
    QWidget *m_parent;
    QPointer<QInputDialog> m_open;
};

} // namespace trazzo
