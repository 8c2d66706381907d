// SPDX-License-Identifier: GPL-3.0-or-later
// The assembler's messages as one list model: the Project window's and the editor's message lists are views
// of it; Qt Core only.
#pragma once

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QStringList>

class TMessageModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit TMessageModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The error file's lines in place of the entries there were.
    void setLines(QStringList lines);
    void clear();
    // The entry of a row; empty outside the list.
    QString line(int row) const;
    // The entry with the most characters, empty without entries: measuring every line of a long error file
    // would take seconds, so it stands for the widest.
    QString longestLine() const;
    // The one selection of every list that shows the messages: it keeps them in step.
    QItemSelectionModel* selection() { return &selection_; }

  private:
    QItemSelectionModel selection_;
    QStringList lines_;
    qsizetype longest_ = -1;
};
