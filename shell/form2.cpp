// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form2.h"

#include "fonts.h"
#include "text_label.h"
#include "texts.h"
#include "window_placement.h"

#include <QCloseEvent>
#include <QPainter>

namespace trazzo {

QString versionText(int major, int second)
{
    return QStringLiteral("Ver ") + QString::number(major) + QLatin1Char('.') +
           (QStringLiteral("00") + QString::number(second)).right(2);
}

Form2::Form2(const QImage &panelSheet, const QPixmap &icon, QWidget *mainWindow)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_mainWindow(mainWindow),
      m_background(Width, Height, QImage::Format_RGB32)
{
    // A window of its own so that disabling the main window leaves it
    // working, yet owned by it so that it stays above it; it does not
    // outlive the main window.
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(texts::AboutTitle);
    setWindowIcon(icon);
    setFixedSize(Width, Height);

    m_image1 = new QLabel(this);
    m_image1->setGeometry(8, 8, 32, 32);
    m_image1->setPixmap(icon);

    // The faces are chosen once: every 9.75-point text shares one size.
    const QFont name = fittedFont(ProportionalGothic, 15.75, 21, true);
    const QFont small = fittedFont(ProportionalGothic, 9.75, 13);
    QFont smallBold = small;
    smallBold.setBold(true);
    auto label = [this](int x, int y, int w, int h, const QFont &font, QColor colour, const QString &text) {
        auto *l = new TextLabel(text, this);
        l->setGeometry(x, y, w, h);
        l->setFont(font);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, colour);
        l->setPalette(pal);
        return l;
    };
    m_label1 = label(48, 12, 100, 21, name, Qt::black, texts::AboutName);
    m_label2 = label(155, 19, 57, 13, smallBold, Qt::black, QString());
    m_label3[1] = label(23, 48, 183, 41, small, QColor(64, 64, 64), texts::AboutFeedback);
    m_label3[1]->setWordWrap(true);
    m_label3[2] = label(40, 96, 138, 13, small, QColor(0, 0, 128), texts::AboutContact);
    m_label3[0] = label(16, 128, 191, 13, small, QColor(0, 0, 128), texts::AboutCopyright);

    ownBy(this, mainWindow);
    centreOnScreen(this);
    Form_Load(panelSheet);
}

void Form2::Form_Load(const QImage &panelSheet)
{
    QPainter p(&m_background);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i <= 4; ++i)
        for (int j = 0; j <= 7; ++j)
            p.drawImage(QPoint(32 * j, 32 * i), panelSheet, QRect(0, 0, 32, 32));
    // Line1, the separator above the copyright.
    p.fillRect(QRect(36, 112, 180 - 36, 1), Qt::black);
    p.end();

    m_label2->setText(versionText(TRAZZO_VERSION_MAJOR, TRAZZO_VERSION_MINOR));
    if (m_mainWindow)
        m_mainWindow->setEnabled(false);
}

void Form2::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(QPoint(0, 0), m_background);
}

void Form2::closeEvent(QCloseEvent *event)
{
    // Form_Unload
    if (m_mainWindow) {
        m_mainWindow->setEnabled(true);
        m_mainWindow->activateWindow();
    }
    event->accept();
}

AboutWindow::~AboutWindow() { delete m_window.data(); }

void AboutWindow::show()
{
    if (m_window) {
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    m_window = new Form2(m_panelSheet, m_icon, m_mainWindow);
    m_window->show();
}

} // namespace trazzo
