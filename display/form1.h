// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "end_game.h"
#include "form3.h"
#include "game.h"
#include "high_scores.h"
#include "ports.h"
#include "form2.h"
#include "readme_opener.h"
#include "sound_effects.h"

#include <QImage>
#include <QMainWindow>

#include <array>
#include <chrono>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QPushButton;
class QTimer;

namespace trazzo {

class BackSurface;
class BoardSurface;

// The main window. It lays out the controls, turns Qt's events into the
// game's handlers and is the engine's screen; the rules live in Game.
class Form1 : public QMainWindow, private Screen, private Pause, private Sound, private GameOver {
    Q_OBJECT
public:
    // Without a random source the window seeds its own from the clock.
    // Without a program folder it is the executable's (tests pass one).
    explicit Form1(Random *random = nullptr, const QString &appFolder = {}, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: paths, scores, background, sound check, title screen.
    // Shows the window.
    void Form_Load();

    const QString &AppFolder() const { return m_appFolder; }
    ScoreTable &scores() { return m_scores; }
    HighScoreWindow &highScoreWindow() { return m_highScoreWindow; }

    Game &game() { return m_game; }

    BoardSurface *Picture1() const { return m_picture1; }
    QLabel *Label1() const { return m_labels[0]; }
    QLabel *Label2() const { return m_labels[1]; }
    QLabel *Label3() const { return m_labels[2]; }
    QLabel *Label4() const { return m_labels[3]; }
    QPushButton *Command1(int index) const { return m_command1.at(static_cast<std::size_t>(index)); }
    QTimer *Timer1() const { return m_timer1; }
    BackSurface *background() const { return m_back; }
    const QImage &panelSheet() const { return m_panelSheet; }

    QAction *mnuG1 = nullptr, *mnuG2 = nullptr, *mnuG4 = nullptr, *mnuG6 = nullptr;
    QAction *mnuO1 = nullptr, *mnuO3 = nullptr, *mnuH1 = nullptr, *mnuH2 = nullptr;

    // The pause between filled cells of the red panel's walk.
    void setChainPause(std::chrono::microseconds pause) { m_chainPause = pause; }

    // The sound the game plays through. Start-up plugs in the wave files
    // unless a sound was set before; tests record instead.
    void setSound(Sound *sound) { m_sound = sound; }
    // How the wave files' output is made once sound is wanted; set before
    // start-up. Tests count the loads instead of loading the sound module.
    void setSoundLoader(OutputLoader loader) { m_soundLoader = std::move(loader); }
    // How the read-me is shown; tests stand in for the desktop's opener.
    void setReadmeOpener(ReadmeOpener opener) { m_readme = std::move(opener); }
    AboutWindow &aboutWindow() { return m_aboutWindow; }
    // The window's save: a failure with new entries is told once, and they
    // are tried again now and then; when the game is `ending`, the player
    // is told they are lost.
    void saveScores(bool ending = false);
    // A signal or the end of the session: save without asking, then quit.
    void quitSaving();
    // Also the last save when the program is ended from below (its display
    // gone): the entries of this run, and a name being typed, are kept.
    void saveScoresQuietly();
    // Whether the program was told to end (by the exit command or a signal).
    bool exiting() const { return m_exiting; }
    // How the exit command ends the program; tests keep it running.
    void setEndProgram(std::function<void()> end) { m_endProgram = std::move(end); }

    // The open dialog and the message box, replaceable so tests need no
    // modal windows.
    using FileDialog = std::function<QString(QWidget *owner, const QString &filter)>;
    using MessageBox = std::function<void(const QString &text)>;
    void setFileOpenDialog(FileDialog dialog) { m_fileOpenDialog = std::move(dialog); }
    void setMessageBox(MessageBox messageBox) { m_messageBox = std::move(messageBox); }

public slots:
    void Timer1_Timer();
    void Picture1_KeyDown(int keyCode);
    void Picture1_KeyUp(int keyCode);
    void Command1_Click(int index);
    void mnuG1_Click();
    void mnuG2_Click();
    void mnuG4_Click();
    void mnuG6_Click();
    void mnuO1_Click();
    void mnuO3_Click();
    void mnuH1_Click();
    void mnuH2_Click();

protected:
    // Form_Unload: closing the window saves the high scores.
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createControls();
    void createMenus();
    void followTimerInterval();
    void waitUntilExposed();

    // Screen
    void Cell_Paint(int c, int r, int k) override;
    void Head_Paint(int c, int r, int d) override;
    void Board_Paint(std::string_view board) override;
    void presentBoard() override;
    void showBonus(int value) override;
    void showScore(int value) override;
    void showStage(int value) override;
    void showStatus(std::string_view text) override;
    void repaintCounters() override;
    void repaintStatus() override;
    // Pause
    void chainPause() override;
    // Sound and GameOver forward to what is plugged in.
    void PlayEffect(std::string_view fileName) override;
    void End_Game(int &reason) override;

    std::unique_ptr<Random> m_ownRandom;
    Game m_game;
    Sound *m_sound = nullptr;
    QString m_appFolder;
    QImage m_panelSheet; // Picture3
    QPixmap m_icon;
    ScoreTable m_scores;
    DialogNamePrompt m_namePrompt{this};
    HighScoreWindow m_highScoreWindow{m_scores.HighScores, this};
    std::unique_ptr<EndGame> m_endGame;
    OutputLoader m_soundLoader = [] { return loadEffectOutput(); };
    std::unique_ptr<SoundEffects> m_soundEffects;
    ReadmeOpener m_readme{this};
    AboutWindow m_aboutWindow{m_panelSheet, m_icon, this};
    bool m_exiting = false;
    // The player was told the scores are not on disk; they are tried
    // again now and then, quietly, until they are.
    bool m_toldNotSaved = false;
    QTimer *m_retrySave = nullptr;

    BackSurface *m_back = nullptr;
    BoardSurface *m_picture1 = nullptr;
    std::array<QLabel *, 4> m_labels{};
    std::array<QPushButton *, 2> m_command1{};
    QTimer *m_timer1 = nullptr;
    std::chrono::microseconds m_chainPause{3000};
    FileDialog m_fileOpenDialog;
    MessageBox m_messageBox;
    std::function<void()> m_endProgram;
};

} // namespace trazzo
