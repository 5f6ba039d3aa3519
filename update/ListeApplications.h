#pragma once
// What the update window's list shows: one row per line of the version list, with the line's
// fields 1, 3 and 4. The lines are kept as they are and cut into fields only when a row is shown,
// so a long list costs little more than its text.
#include <QAbstractTableModel>
#include <QStringList>

class ListeApplications : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void MRemplit(QStringList lignes);
    // Field n (from 0) of a line whose fields are separated by "--"; a missing one is empty.
    static QString MChamp(const QString& ligne, int n);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList lignes_;
};
