#include "ListeApplications.h"

namespace {
const int kFields[] = {0, 2, 3}; // the line's fields shown in the three columns
}

void ListeApplications::MRemplit(QStringList lignes) {
    beginResetModel();
    lignes_ = std::move(lignes);
    endResetModel();
}

QString ListeApplications::MChamp(const QString& ligne, int n) {
    return ligne.section(QLatin1String("--"), n, n);
}

int ListeApplications::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(lignes_.size());
}

int ListeApplications::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant ListeApplications::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const QString text = MChamp(lignes_[index.row()], kFields[index.column()]);
    // An empty cell has no text at all, as an unset one: its row is drawn the same.
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant ListeApplications::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QString headings[] = {QStringLiteral("Application"), QStringLiteral("Version"),
                                       QStringLiteral("Date")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2) return {};
    return headings[section];
}
