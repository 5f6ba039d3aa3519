#pragma once
// What the update window's list shows: one row per line of the version list, with the line's
// fields 1, 3 and 4. The text is kept whole with where each line starts, and cut into fields
// only when a row is shown, so a long list costs little more than its text.
#include <QAbstractTableModel>
#include <QList>
#include <QString>

class ListeApplications : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Lines end with CR; one after the last line starts none.
    void MRemplit(const QString& texte);
    QStringView MLigne(int row) const;
    // Field n (from 0) of a line whose fields are separated by "--"; a missing one is empty.
    static QStringView MChamp(QStringView ligne, int n);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString texte_;
    QList<qsizetype> debuts_; // where each line starts, and one past the end of the text
};
