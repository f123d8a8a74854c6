#include "dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QWidget>

namespace {

// Families in order of preference: the gothic a Japanese Windows installation
// carries, then the free CJK monospace that the build scripts install.
constexpr const char* preferredFamilies[] = {
    "ＭＳ ゴシック",
    "MS Gothic",
    "Noto Sans Mono CJK JP",
    "Noto Sans CJK JP",
};

constexpr int dialogPointSize = 10;

// Rounds a * b / c to the nearest integer, as the platform converts dialog units.
int scaleRounded(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

QFont dialogFont()
{
    const QStringList available = QFontDatabase::families();
    for (const char* family : preferredFamilies) {
        const QString name = QString::fromUtf8(family);
        if (available.contains(name, Qt::CaseInsensitive)) {
            QFont font(name, dialogPointSize);
            font.setStyleHint(QFont::TypeWriter);
            return font;
        }
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(dialogPointSize);
    return font;
}

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    // The average width is taken over the 52 Latin letters, rounded.
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseWidth_ = (letters / 26 + 1) / 2;
    baseHeight_ = metrics.height();
}

DialogUnits::DialogUnits(int baseWidth, int baseHeight) : baseWidth_(baseWidth), baseHeight_(baseHeight) {}

int DialogUnits::toPixelsX(int units) const
{
    return scaleRounded(units, baseWidth_, 4);
}

int DialogUnits::toPixelsY(int units) const
{
    return scaleRounded(units, baseHeight_, 8);
}

// The edges are converted, not the extents, so that controls that touch in
// the layout touch in pixels too instead of overlapping by a rounding.
QRect DialogUnits::toPixels(int x, int y, int width, int height) const
{
    const int left = toPixelsX(x);
    const int top = toPixelsY(y);
    return QRect(left, top, toPixelsX(x + width) - left, toPixelsY(y + height) - top);
}

QSize DialogUnits::toPixels(QSize units) const
{
    return QSize(toPixelsX(units.width()), toPixelsY(units.height()));
}

void DialogUnits::place(QWidget* widget, int x, int y, int width, int height) const
{
    widget->setGeometry(toPixels(x, y, width, height));
}
