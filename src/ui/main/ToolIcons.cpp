#include "ui/main/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace {

// A floppy disk with a pencil across its corner: save under another name.
void drawSaveAs(QPainter& p)
{
    p.setPen(QPen(QColor(0x20, 0x4a, 0x87), 1));
    p.setBrush(QColor(0x34, 0x65, 0xa4));
    p.drawRoundedRect(QRectF(1.5, 1.5, 12, 12), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 2, 7, 5));  // the label
    p.setBrush(QColor(0xba, 0xbd, 0xb6));
    p.drawRect(QRectF(4.5, 9.5, 6, 4));  // the shutter
    // The pencil, from the lower right corner up to the left.
    p.translate(11.5, 11.5);
    p.rotate(-45);
    p.setPen(QPen(QColor(0x8f, 0x59, 0x02), 0.8));
    p.setBrush(QColor(0xf5, 0x79, 0x00));
    p.drawRect(QRectF(-1, -1.6, 6.5, 3.2));
    p.setBrush(QColor(0xfc, 0xe9, 0x4f));
    QPainterPath tip;
    tip.moveTo(-1, -1.6);
    tip.lineTo(-3.8, 0);
    tip.lineTo(-1, 1.6);
    tip.closeSubpath();
    p.drawPath(tip);
}

// A gear wheel: the program's settings.
void drawSettings(QPainter& p)
{
    const QPointF centre(8, 8);
    QPainterPath wheel;
    constexpr int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const qreal angle = M_PI * i / teeth;
        const qreal radius = i % 2 == 0 ? 7.2 : 5.4;
        for (const qreal side : {-0.18, 0.18}) {
            const QPointF point = centre + QPointF(radius * qCos(angle + side), radius * qSin(angle + side));
            if (wheel.elementCount() == 0)
                wheel.moveTo(point);
            else
                wheel.lineTo(point);
        }
    }
    wheel.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, 2.2, 2.2);
    p.setPen(QPen(QColor(0x2e, 0x34, 0x36), 0.8));
    p.setBrush(QColor(0x55, 0x7a, 0xb0));
    p.drawPath(wheel.subtracted(hole));
}

}  // namespace

QIcon drawnToolIcon(const QString& themeName)
{
    void (*draw)(QPainter&) = nullptr;
    if (themeName == QLatin1String("document-save-as"))
        draw = drawSaveAs;
    else if (themeName == QLatin1String("preferences-system"))
        draw = drawSettings;
    if (!draw)
        return QIcon();
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);  // drawn on a 16 x 16 grid
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);  // the disabled look is made from it, greyed
    }
    return icon;
}

QIcon toolIcon(const QString& themeName, const QIcon& fallback)
{
    if (QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    const QIcon drawn = drawnToolIcon(themeName);
    return drawn.isNull() ? fallback : drawn;
}
