// A read-only value field: a sunken, right-aligned, vertically centred text.
// A text wider than the field is shortened at its left end (the end of a path
// stays readable) and shown whole in the tooltip.
#pragma once

#include <QFrame>
#include <QString>

class ValueField : public QFrame {
    Q_OBJECT

public:
    explicit ValueField(QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect textArea() const;
    void updateToolTip();

    QString text_;
};
