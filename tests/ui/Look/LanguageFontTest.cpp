#include "UI/LanguageFont.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"

#include <QApplication>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

// The families that draw `text` in `font`, in order of the runs.
QStringList familiesDrawing(const QString& text, const QFont& font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList families;
    for (const QGlyphRun& run : layout.glyphRuns())
        families.append(run.rawFont().familyName());
    families.removeDuplicates();
    return families;
}

} // namespace

// Guards a card's caption ("xclip · たった今") drawn in two faces that look like two weights,
// and Han characters in another language's shapes.
TEST(LanguageFont, OneLabelOfLatinAndCjkIsDrawnInTheLanguagesOneFace)
{
    struct Case {
        AppLanguage language;
        QString text;
        QString family;
    };
    const QList<Case> cases{
        {AppLanguage::japanese, QStringLiteral("xclip · たった今"), QStringLiteral("Noto Sans CJK JP")},
        {AppLanguage::chinese, QStringLiteral("xclip · 刚刚"), QStringLiteral("Noto Sans CJK SC")},
        {AppLanguage::traditionalChinese, QStringLiteral("xclip · 剛剛"), QStringLiteral("Noto Sans CJK TC")},
    };
    const QFont desktop = QApplication::font();
    {
        LanguageFont font(Localization::shared());
        for (const Case& c : cases) {
            Localization::shared().setLanguage(c.language);
            for (const QFont& role : {VelloraTypography::caption(), VelloraTypography::title()})
                EXPECT_EQ(familiesDrawing(c.text, role).join(u", ").toStdString(), c.family.toStdString())
                    << AppLanguages::rawValue(c.language).toStdString() << " weight " << role.weight();
        }
        Localization::shared().setLanguage(AppLanguage::english);
        EXPECT_EQ(QApplication::font(), desktop) << "English keeps the desktop's font";
    }
    EXPECT_EQ(QApplication::font(), desktop);
}
