// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form3.h"

#include "fonts.h"
#include "text_label.h"
#include "texts.h"
#include "window_placement.h"

#include <QCloseEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QValidator>

#include <cmath>
#include <random>

namespace trazzo {

namespace {

// Keeps no more than the table keeps, a pasted name cut to it. QLineEdit's
// own limit counts UTF-16 units, which would keep half an emoji and stop a
// name of accented letters early.
class NameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        input = cutName(input);
        pos = qMin(pos, int(input.size()));
        return Acceptable;
    }
};

} // namespace

QString scoreLine(int slot, const ScoreEntry &entry)
{
    const QString score = (QStringLiteral("      ") + QString::number(entry.Score)).right(6);
    return QString::number(slot + 1) + QStringLiteral(". ") + score + QLatin1Char(' ') + entry.Name;
}

QImage highScoreBackground()
{
    QImage img(Form3::Width, Form3::Height, QImage::Format_RGB32);
    std::mt19937 gen(1983);
    std::uniform_int_distribution<int> grain(-3, 3);
    // Marble: soft diagonal veins of a slowly bending sine, plus grain.
    auto marble = [&](int x, int y, int lo, int hi) {
        const double vein = std::sin(0.09 * x + 0.05 * y + 2.2 * std::sin(0.045 * y + 0.02 * x));
        const double t = 0.5 + 0.5 * vein * std::abs(vein);
        return std::clamp(int(lo + (hi - lo) * t) + grain(gen), lo, hi);
    };
    for (int y = 0; y < Form3::Height; ++y)
        for (int x = 0; x < Form3::Width; ++x) {
            const int v = marble(x, y, 192, 215);
            img.setPixel(x, y, qRgb(v, v, v));
        }
    // The two sunken panels, one behind each mode's lines.
    for (const auto &[top, bottom] : {std::pair{19, 71}, std::pair{93, 145}}) {
        const int left = 2, right = 219;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                int v = marble(x + 57, y + 31, 242, 255);
                if (y == top || x == left)
                    v = 128;
                else if (y == bottom || x == right)
                    v = 255;
                img.setPixel(x, y, qRgb(v, v, v));
            }
    }
    return img;
}

Form3::Form3(const HighScores &table, QWidget *mainWindow)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_mainWindow(mainWindow),
      m_background(highScoreBackground())
{
    // A window of its own, not a child of the main one: disabling the main
    // window must not disable this one. It is owned by the main window all
    // the same, as a dialog, so it never falls behind the window it disables. It does
    // not keep the game running once the main window is gone.
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(texts::HighScoreTitle);
    setFixedSize(Width, Height);

    // One face and size for both headings and one for all six lines, so
    // the number columns line up whatever the names are.
    const QFont heading = fittedFont(ProportionalGothic, 11.25, 15);
    const QFont line = fittedFont(FixedGothic, 11.25, 15);
    auto label = [this](int x, int y, int w, const QFont &font) {
        auto *l = new TextLabel(this);
        l->setGeometry(x, y, w, 15);
        l->setFont(font);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, Qt::black);
        l->setPalette(pal);
        return l;
    };
    m_headings[0] = label(2, 2, 110, heading);
    m_headings[0]->setText(texts::RefreshHeading);
    m_headings[1] = label(2, 76, 85, heading);
    m_headings[1]->setText(texts::FiveHeading);
    const int tops[] = {22, 38, 54, 96, 112, 128};
    for (std::size_t k = 0; k < m_lines.size(); ++k)
        m_lines[k] = label(6, tops[k], 200, line);

    ownBy(this, mainWindow);
    centreOnScreen(this);
    Form_Load(table);
}

void Form3::Form_Load(const HighScores &table)
{
    for (std::size_t k = 0; k < m_lines.size(); ++k)
        m_lines[k]->setText(scoreLine(static_cast<int>(k), table[k]));
    if (m_mainWindow)
        m_mainWindow->setEnabled(false);
}

void Form3::Form_Unload()
{
    if (m_mainWindow) {
        m_mainWindow->setEnabled(true);
        m_mainWindow->activateWindow();
    }
}

bool Form3::event(QEvent *event)
{
    // Any key at all closes the window, Tab and lone modifiers included.
    // Alt closes it when it is let go alone: held, it may be the start of
    // the window manager's Alt+F4, which must close this window and not the
    // main window that has the keys the moment this one is gone.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const bool alt = static_cast<QKeyEvent *>(event)->key() == Qt::Key_Alt;
        if (event->type() == QEvent::KeyPress && alt)
            m_altHeld = true;
        else if (event->type() == QEvent::KeyPress || (alt && m_altHeld))
            close();
        return event->type() == QEvent::KeyPress || alt || QWidget::event(event);
    }
    return QWidget::event(event);
}

void Form3::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(QPoint(0, 0), m_background);
}

void Form3::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

HighScoreWindow::~HighScoreWindow() { delete m_window.data(); }

void HighScoreWindow::showHighScores()
{
    if (m_window && m_window->isVisible()) {
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    // A window closed a moment ago may not be deleted yet; it shows an old
    // table and must not be brought back.
    delete m_window.data();
    m_window = new Form3(m_table, m_mainWindow);
    m_window->show();
}

QString DialogNamePrompt::askName(const QString &prompt)
{
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(texts::NamePromptTitle);
    dialog.setLabelText(prompt);
    dialog.setTextValue(QString());
    dialog.setInputMode(QInputDialog::TextInput);
    if (auto *edit = dialog.findChild<QLineEdit *>())
        edit->setValidator(new NameValidator(edit));
    // The box ends without the player when the game is told to end (a
    // signal, the session's end): then the name is what was typed.
    bool answered = false;
    QObject::connect(&dialog, &QDialog::finished, &dialog, [&answered] { answered = true; });
    // A guarded pointer, cleared below and by the dialog's end in any case.
    m_open = &dialog;
    const int result = dialog.exec();
    // cppcheck-suppress danglingLifetime
    m_open.clear();
    return result == QDialog::Accepted || !answered ? dialog.textValue() : QString();
}

std::optional<QString> DialogNamePrompt::typedSoFar() const
{
    return m_open ? std::optional<QString>(m_open->textValue()) : std::nullopt;
}

} // namespace trazzo
