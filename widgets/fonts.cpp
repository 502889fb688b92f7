// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fonts.h"

#include "text_label.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

#include <algorithm>

namespace trazzo {

void installFontSubstitutes()
{
    // Fall back to other Japanese faces before Qt's generic choice, which
    // may have no kana at all.
    const QStringList proportional = {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                                      QStringLiteral("VL PGothic")};
    const QStringList fixed = {QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAGothic"),
                               QStringLiteral("VL Gothic"), QStringLiteral("Noto Sans CJK JP")};
    QFont::insertSubstitutions(ProportionalGothic, proportional);
    QFont::insertSubstitutions(FixedGothic, fixed);
}

namespace {

// The face itself where it is installed, else the first of its stand-ins
// that is: the choice Qt makes, made once here. Qt, asked for a face it
// cannot find, asks fontconfig for its stand-ins again for every size and
// script; at start-up that was a third of the time the window took.
QString installedFace(const QString &face)
{
    QStringList faces = QFont::substitutes(face);
    faces.prepend(face);
    const auto found =
        std::find_if(faces.cbegin(), faces.cend(), [](const QString &f) { return QFontDatabase::hasFamily(f); });
    return found == faces.cend() ? face : *found;
}

} // namespace

QFont fittedFont(const QString &face, qreal points, int boxHeight, bool bold)
{
    QFont f(installedFace(face));
    f.setPointSizeF(points);
    f.setBold(bold);
    if (face == FixedGothic)
        f.setStyleHint(QFont::TypeWriter);
    // A face fontconfig still lists but can no longer open (a stale cache
    // after its files went): Qt chooses among the stand-ins, as it would.
    if (QFontInfo(f).family().compare(f.family(), Qt::CaseInsensitive) != 0)
        f.setFamily(face);
    // Measured on the face, never on a label's own text: a name with an
    // accent or a kanji gets the same size as any other.
    for (int px = QFontInfo(f).pixelSize(); px > 8; --px) {
        f.setPixelSize(px);
        if (TextLabel::inkBox(f).height() <= boxHeight)
            break;
    }
    return f;
}

QFont statusFont() { return fittedFont(ProportionalGothic, 9.75, 13); }
QFont counterFont() { return fittedFont(FixedGothic, 12, 16, true); }

} // namespace trazzo
