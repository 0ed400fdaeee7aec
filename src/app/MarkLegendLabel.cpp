#include "app/MarkLegendLabel.h"

#include <QPainter>

namespace tavorin {

namespace {

QStringList legendLines(const QString& caption)
{
    QStringList lines;
    QString line;
    for (const QChar c : caption) {
        const bool markStartsLine = c == QChar(u'→') || c == QChar(u'↓') || c == QChar(u'←');
        if (markStartsLine && !line.isEmpty()) {
            lines.append(line);
            line.clear();
        }
        line.append(c);
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

} // namespace

void MarkLegendLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QStringList lines = legendLines(text());
    const int lineHeight = lines.isEmpty() ? 0 : height() / int(lines.size());
    for (int i = 0; i < int(lines.size()); ++i)
        painter.drawText(QRect(0, i * lineHeight, width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         lines[i]);
}

} // namespace tavorin
