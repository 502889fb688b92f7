// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QWidget>

namespace trazzo {

// The main window's background, painted once at start-up into `target`
// (500 x 421): grey texture strips, the sunken frame, the status band and
// the three caption panels, each drawn over the one before.
void Back_Paint(QImage &target, const QImage &panelSheet);

// The window's own surface: it only shows its retained picture, so the
// background survives being covered.
class BackSurface : public QWidget {
    Q_OBJECT
public:
    static constexpr int Width = 500;
    static constexpr int Height = 421;

    explicit BackSurface(QWidget *parent = nullptr);
    QImage &image() { return m_image; }
    const QImage &image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};

} // namespace trazzo
