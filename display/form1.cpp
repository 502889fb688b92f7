// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form1.h"

#include "app_folder.h"
#include "back_paint.h"
#include "board_surface.h"
#include "clock_random.h"
#include "file_open_dialog.h"
#include "fonts.h"
#include "text_label.h"
#include "texts.h"
#include "tile_sheet_loader.h"
#include "title_picture.h"
#include "window_placement.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>
#include <QWindow>

namespace trazzo {

namespace {

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace

Form1::Form1(Random *random, const QString &appFolder, QWidget *parent)
    : QMainWindow(parent),
      m_ownRandom(random ? nullptr : std::make_unique<ClockRandom>()),
      m_game(*this, *this, *this, random ? *random : *m_ownRandom, *this),
      m_appFolder(appFolder)
{
    Screen &screen = *this;
    Sound &sound = *this;
    // An entry is saved as soon as it is made, not only at close: a crash,
    // a lost display or a killed process must not take it along.
    m_endGame.reset(new EndGame(m_game.state(), m_scores, screen, sound, m_namePrompt, m_highScoreWindow,
                                [this] { m_exiting ? saveScoresQuietly() : saveScores(); }));
    m_retrySave = new QTimer(this);
    m_retrySave->setObjectName(QStringLiteral("retrySave"));
    m_retrySave->setInterval(5000);
    // A retry does not wait for another copy's save: that would hold up the
    // game for a moment every few seconds.
    connect(m_retrySave, &QTimer::timeout, this, [this] {
        if (m_scores.HightScore_Save(0) || !m_scores.hasUnsaved()) {
            m_retrySave->stop();
            m_toldNotSaved = false;
        }
    });
    setWindowTitle(texts::AppTitle);
    m_icon = QPixmap(QStringLiteral(":/icon.png"));
    setWindowIcon(QIcon(m_icon));
    // Fixed border: no resizing, no maximise button.
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    m_fileOpenDialog = FileOpen_Dialog;
    m_endProgram = [] { QCoreApplication::exit(0); };
    m_messageBox = [this](const QString &text) {
        QMessageBox box(QMessageBox::NoIcon, texts::AppTitle, text, QMessageBox::Ok, this);
        box.exec();
    };
    m_panelSheet = QImage(QStringLiteral(":/panels.bmp")).convertToFormat(QImage::Format_RGB32);

    createControls();
    createMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

Form1::~Form1() = default;

void Form1::createControls()
{
    m_back = new BackSurface(this);
    setCentralWidget(m_back);

    m_command1[1] = new QPushButton(texts::FiveButton, m_back);
    m_command1[1]->setGeometry(411, 6, 81, 23);
    m_command1[0] = new QPushButton(texts::RefreshButton, m_back);
    m_command1[0]->setGeometry(325, 6, 81, 23);
    for (int i = 0; i < 2; ++i)
        connect(m_command1[static_cast<std::size_t>(i)], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });

    m_timer1 = new QTimer(this);
    m_timer1->setTimerType(Qt::PreciseTimer);
    m_timer1->setInterval(NormalInterval);
    connect(m_timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    m_timer1->start();

    m_picture1 = new BoardSurface(m_back);
    m_picture1->move(8, 34);
    m_picture1->setTileSheet(QImage(QStringLiteral(":/tiles.bmp")));
    connect(m_picture1, &BoardSurface::keyDown, this, &Form1::Picture1_KeyDown);
    connect(m_picture1, &BoardSurface::keyUp, this, &Form1::Picture1_KeyUp);

    // Each face is chosen once; the three counters share theirs.
    const QFont counter = counterFont();
    auto label = [this](int x, int y, int w, int h, const QFont &font, const QString &text) {
        auto *l = new TextLabel(text, m_back);
        l->setGeometry(x, y, w, h);
        l->setFont(font);
        return l;
    };
    m_labels[3] = label(8, 408, 484, 13, statusFont(), texts::MeasuringSpeed);
    m_labels[2] = label(272, 10, 28, 16, counter, QStringLiteral("0"));
    m_labels[1] = label(160, 10, 55, 16, counter, QStringLiteral("0"));
    m_labels[0] = label(66, 10, 28, 16, counter, QStringLiteral("0"));
    for (int i = 0; i < 3; ++i) {
        QPalette pal = m_labels[static_cast<std::size_t>(i)]->palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
        m_labels[static_cast<std::size_t>(i)]->setPalette(pal);
    }

    // The board holds the keys from the start; the buttons come after it.
    setTabOrder(m_picture1, m_command1[0]);
    setTabOrder(m_command1[0], m_command1[1]);
    m_picture1->setFocus();
}

void Form1::createMenus()
{
    auto item = [this](QMenu *menu, const QString &caption, const QKeySequence &shortcut, void (Form1::*slot)()) {
        QAction *a = menu->addAction(caption);
        a->setShortcut(shortcut);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu *game = menuBar()->addMenu(texts::MenuGame);
    mnuG1 = item(game, texts::MenuStartRefresh, QKeySequence(Qt::CTRL | Qt::Key_R), &Form1::mnuG1_Click);
    mnuG2 = item(game, texts::MenuStartFive, QKeySequence(Qt::CTRL | Qt::Key_F), &Form1::mnuG2_Click);
    game->addSeparator();
    mnuG4 = item(game, texts::MenuHighScores, QKeySequence(Qt::CTRL | Qt::Key_H), &Form1::mnuG4_Click);
    game->addSeparator();
    mnuG6 = item(game, texts::MenuExit, QKeySequence(Qt::CTRL | Qt::Key_Q), &Form1::mnuG6_Click);

    QMenu *options = menuBar()->addMenu(texts::MenuOptions);
    mnuO1 = item(options, texts::MenuSound, QKeySequence(), &Form1::mnuO1_Click);
    mnuO1->setCheckable(true);
    mnuO1->setChecked(false);
    // The sound output is loaded only once the player may want sound, and
    // in the background: from the moment the menu with the option opens, so
    // that by the click the first effect is not kept waiting.
    connect(options, &QMenu::aboutToShow, this, [this] {
        if (mnuO1->isEnabled() && m_soundEffects)
            m_soundEffects->prepare();
    });
    connect(mnuO1, &QAction::toggled, this, [this](bool on) {
        if (on && m_soundEffects)
            m_soundEffects->prepare();
    });
    options->addSeparator();
    mnuO3 = item(options, texts::MenuLoadPicture, QKeySequence(), &Form1::mnuO3_Click);

    QMenu *help = menuBar()->addMenu(texts::MenuHelp);
    mnuH1 = item(help, texts::MenuReadme, QKeySequence(), &Form1::mnuH1_Click);
    mnuH2 = item(help, texts::MenuAbout, QKeySequence(), &Form1::mnuH2_Click);
}

void Form1::Form_Load()
{
    m_appFolder = m_appFolder.isEmpty() ? programFolder() : withTrailingSeparator(m_appFolder);
    // The score file's place: a "Windows" folder in the per-user data folder.
    m_scores.setScoreFile(defaultScoreFile());
    m_scores.HightScore_Load();
    Back_Paint(m_back->image(), m_panelSheet);
    if (!allWaveFilesPresent(m_appFolder))
        mnuO1->setEnabled(false);
    m_soundEffects = std::make_unique<SoundEffects>(
        m_appFolder, [this] { return mnuO1->isChecked(); }, m_soundLoader);
    if (!m_sound)
        m_sound = m_soundEffects.get();
    // The random source was seeded from the clock when the window was made.

    adjustSize();
    centreOnScreen(this);
    show();
    waitUntilExposed();
    if (m_exiting)
        return;
    repaint();

    GameState &s = m_game.state();
    s.GameMode = NoGame;
    s.Board = titlePicture();
    Label4()->setText(texts::PleaseWait);
    Label4()->repaint();
    m_picture1->Board_Paint(s.Board);
    presentBoard();
    Label4()->setText(texts::ChooseMode);
}

void Form1::waitUntilExposed()
{
    // A repaint before the window is on screen is lost, and the start-up
    // texts painted meanwhile would never be seen. The player's input waits.
    QElapsedTimer waited;
    waited.start();
    // A quit signal taken meanwhile ends the wait.
    while (windowHandle() && !windowHandle()->isExposed() && !m_exiting && waited.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

void Form1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Disabling the window for the high-score or About window takes the
    // focus from the board; the keys belong to the board again as soon as
    // the window is back.
    const bool back = (event->type() == QEvent::EnabledChange && isEnabled()) ||
                      (event->type() == QEvent::ActivationChange && isActiveWindow());
    if (back && m_picture1)
        m_picture1->setFocus();
    // A click on the disabled window makes the window manager (and Qt)
    // activate it; the keys belong to the window that disabled it.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isEnabled()) {
        for (QWidget *owned :
             {static_cast<QWidget *>(m_highScoreWindow.window()), static_cast<QWidget *>(m_aboutWindow.window())})
            if (owned && owned->isVisible()) {
                owned->activateWindow();
                break;
            }
    }
}

void Form1::Timer1_Timer() { m_game.tick(); }

void Form1::Picture1_KeyDown(int keyCode)
{
    m_game.keyDown(keyCode);
    followTimerInterval();
}

void Form1::Picture1_KeyUp(int keyCode)
{
    m_game.keyUp(keyCode);
    followTimerInterval();
}

void Form1::followTimerInterval()
{
    // Setting an interval restarts a running QTimer; only do it on a change,
    // so the repeats of a held Space key do not keep postponing the tick.
    if (m_timer1->interval() != m_game.timerInterval())
        m_timer1->setInterval(m_game.timerInterval());
}

void Form1::Command1_Click(int index)
{
    if (index == 0)
        mnuG1_Click();
    else if (index == 1)
        mnuG2_Click();
    m_picture1->setFocus();
}

void Form1::mnuG1_Click() { m_game.startMode(RefreshMode); }
void Form1::mnuG2_Click() { m_game.startMode(FiveMode); }
void Form1::mnuG4_Click() { m_highScoreWindow.showHighScores(); }

void Form1::mnuG6_Click()
{
    // Ends the program at once, but not before the scores of this run are
    // safe: the window's own close would have saved them.
    saveScores(true);
    m_exiting = true;
    m_endProgram();
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Saved even after the exit command or a signal saved: when the
    // program lives on after them, a close must not lose what came since.
    saveScores(true);
    QMainWindow::closeEvent(event);
}

void Form1::saveScores(bool ending)
{
    // The file is left as it was; a new entry waits for the next save.
    // The player hears of it once, and only when there is something to
    // lose; and once more if the game ends with it still not saved.
    if (m_scores.HightScore_Save() || !m_scores.hasUnsaved()) {
        m_toldNotSaved = false;
        m_retrySave->stop();
        return;
    }
    if (ending) {
        m_messageBox(texts::ScoresLost.arg(m_scores.ScoreFilePath()));
        return;
    }
    m_retrySave->start();
    if (!std::exchange(m_toldNotSaved, true))
        m_messageBox(texts::ScoresNotSaved.arg(m_scores.ScoreFilePath()));
}

void Form1::saveScoresQuietly()
{
    // The game is ending: a name being typed is the name, as far as it goes.
    if (const std::optional<QString> typed = m_namePrompt.typedSoFar())
        m_scores.nameNewestEntry(cleanName(*typed));
    // No message box here: nobody may be there to close it.
    if (!m_scores.HightScore_Save() && m_scores.hasUnsaved())
        qWarning("Trazzo: the scores could not be saved to %s", qPrintable(m_scores.ScoreFilePath()));
}

void Form1::quitSaving()
{
    if (m_exiting)
        return; // saved and ending already
    saveScoresQuietly();
    m_exiting = true;
    m_endProgram();
}
// The check mark is the option itself; the action flips it on its own.
void Form1::mnuO1_Click() {}
void Form1::mnuH1_Click() { m_readme.open(m_appFolder); }
void Form1::mnuH2_Click() { m_aboutWindow.show(); }

void Form1::mnuO3_Click()
{
    // The game waits while the player chooses a picture: no tick while the
    // dialog or its message box is open. Then the board has the keys again.
    m_timer1->stop();
    const auto resume = qScopeGuard([this] {
        m_timer1->start();
        m_picture1->setFocus();
    });
    const QString path = m_fileOpenDialog(this, pictureFilter());
    if (path.isEmpty())
        return;
    // The player's file is not trusted: a picture we do not take leaves
    // the old sheet, the board and the game as they were.
    QString reason;
    const std::optional<QImage> sheet = loadTileSheet(path, &reason);
    if (!sheet) {
        m_messageBox(reason);
        return;
    }
    m_picture1->setTileSheet(*sheet);
    m_picture1->Board_Paint(m_game.state().Board);
    presentBoard();
    m_messageBox(texts::PictureLoaded);
}

void Form1::Cell_Paint(int c, int r, int k) { m_picture1->Cell_Paint(c, r, k); }
void Form1::Head_Paint(int c, int r, int d) { m_picture1->Head_Paint(c, r, d); }
void Form1::Board_Paint(std::string_view board) { m_picture1->Board_Paint(board); }
void Form1::presentBoard() { m_picture1->repaint(); }

void Form1::showBonus(int value) { Label1()->setText(QString::number(value)); }
void Form1::showScore(int value) { Label2()->setText(QString::number(value)); }
void Form1::showStage(int value) { Label3()->setText(QString::number(value)); }
void Form1::showStatus(std::string_view text) { Label4()->setText(fromUtf8(text)); }

void Form1::repaintCounters()
{
    for (int i = 0; i < 3; ++i)
        m_labels[static_cast<std::size_t>(i)]->repaint();
}

void Form1::repaintStatus() { Label4()->repaint(); }

void Form1::chainPause()
{
    if (m_chainPause.count() > 0)
        QThread::usleep(static_cast<unsigned long>(m_chainPause.count()));
}

void Form1::PlayEffect(std::string_view fileName)
{
    if (m_sound)
        m_sound->PlayEffect(fileName);
}

void Form1::End_Game(int &reason) { m_endGame->End_Game(reason); }

} // namespace trazzo
