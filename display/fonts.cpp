#include "fonts.h"

#include <QStringList>

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

QFont statusFont()
{
    QFont f(ProportionalGothic);
    f.setPointSizeF(9.75);
    return f;
}

QFont counterFont()
{
    QFont f(FixedGothic);
    f.setPointSizeF(12);
    f.setBold(true);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

} // namespace trazzo
