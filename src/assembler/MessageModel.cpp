// SPDX-License-Identifier: GPL-3.0-or-later
// The assembler's messages as one list model.
#include "assembler/MessageModel.h"

TMessageModel::TMessageModel(QObject* parent) : QAbstractListModel(parent), selection_(this) {}

int TMessageModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(lines_.size());
}

QVariant TMessageModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= lines_.size())
        return {};
    return lines_[index.row()];
}

void TMessageModel::setLines(QStringList lines) {
    beginResetModel();
    lines_ = std::move(lines);
    longest_ = -1;
    qsizetype most = -1;
    for (qsizetype row = 0; row < lines_.size(); ++row)
        if (lines_[row].size() > most) {
            most = lines_[row].size();
            longest_ = row;
        }
    endResetModel();
}

void TMessageModel::clear() {
    if (!lines_.isEmpty())
        setLines({});
}

QString TMessageModel::line(int row) const {
    return row >= 0 && row < lines_.size() ? lines_[row] : QString();
}

QString TMessageModel::longestLine() const {
    return longest_ >= 0 ? lines_[longest_] : QString();
}
