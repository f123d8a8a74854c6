#include "value_field.h"

#include <QPainter>

namespace {
constexpr int textMargin = 3;
}

ValueField::ValueField(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
}

void ValueField::setText(const QString& text)
{
    if (text == text_) return;
    text_ = text;
    updateToolTip();
    update();
}

QRect ValueField::textArea() const
{
    return contentsRect().adjusted(textMargin, 0, -textMargin, 0);
}

void ValueField::updateToolTip()
{
    const bool shortened = fontMetrics().horizontalAdvance(text_) > textArea().width();
    setToolTip(shortened ? text_ : QString());
}

void ValueField::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    updateToolTip();
}

void ValueField::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (text_.isEmpty()) return;
    QPainter painter(this);
    const QRect area = textArea();
    const QString shown = fontMetrics().elidedText(text_, Qt::ElideLeft, area.width());
    painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter, shown);
}
