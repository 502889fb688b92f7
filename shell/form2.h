// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <array>

class QLabel;

namespace trazzo {

// "Ver 1.00": the major number, a point, the second number in two digits.
QString versionText(int major, int second);

// The About window: icon, name, version, where to write, copyright. The
// main window is disabled while it is open; the close box closes it.
class Form2 : public QWidget {
    Q_OBJECT
public:
    static constexpr int Width = 225;
    static constexpr int Height = 153;

    Form2(const QImage &panelSheet, const QPixmap &icon, QWidget *mainWindow);

    const QImage &background() const { return m_background; }
    QLabel *Image1() const { return m_image1; }
    QLabel *Label1() const { return m_label1; }
    QLabel *Label2() const { return m_label2; }
    QLabel *Label3(int index) const { return m_label3.at(static_cast<std::size_t>(index)); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load(const QImage &panelSheet);

    QPointer<QWidget> m_mainWindow;
    QImage m_background;
    QLabel *m_image1 = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    std::array<QLabel *, 3> m_label3{};
};

// Opens Form2 over the main window, or brings the open one to the front.
// The pictures belong to the main window and are read when it opens.
class AboutWindow {
public:
    AboutWindow(const QImage &panelSheet, const QPixmap &icon, QWidget *mainWindow)
        : m_panelSheet(panelSheet), m_icon(icon), m_mainWindow(mainWindow)
    {
    }
    ~AboutWindow();

    void show();
    Form2 *window() const { return m_window; }

private:
    const QImage &m_panelSheet;
    const QPixmap &m_icon;
    QWidget *m_mainWindow;
    QPointer<Form2> m_window;
};

} // namespace trazzo
