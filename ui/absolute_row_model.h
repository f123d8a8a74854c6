// The rows of one absolute display window: the start row, then one row per
// finished source line, 11 columns each. Rows arrive in batches so that a
// listing of 99,999 lines fills quickly.
#pragma once

#include <vector>

#include <QAbstractTableModel>
#include <QStringList>

#include "absolute_rows.h"

class AbsoluteRowModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit AbsoluteRowModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void appendRow(drennix::AbsoluteRow row);
    void appendRows(std::vector<drennix::AbsoluteRow> rows);

    // The text of one cell as the list shows it (the source line decoded).
    QString cellText(int row, int column) const;
    QStringList rowTexts(int row) const;

    static QString columnTitle(int column);
    static Qt::Alignment columnAlignment(int column);
    static int columnWidth(int column);

    // The column of the source line text.
    static constexpr int sourceLineColumn = 1;

private:
    std::vector<drennix::AbsoluteRow> rows_;
};
