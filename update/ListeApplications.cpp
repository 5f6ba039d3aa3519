#include "ListeApplications.h"

namespace {
const int kFields[] = {0, 2, 3}; // the line's fields shown in the three columns
}

void ListeApplications::MRemplit(const QString& texte) {
    beginResetModel();
    debuts_ = {}; // the old rows go before the new ones are counted
    texte_ = texte;
    debuts_.reserve(texte_.count(QLatin1Char('\r')) + 2); // no growing by steps: the list may be long
    qsizetype start = 0;
    for (qsizetype end; (end = texte_.indexOf(QLatin1Char('\r'), start)) >= 0; start = end + 1)
        debuts_.append(start);
    if (start < texte_.size()) { // a last line without its line end
        debuts_.append(start);
        start = texte_.size() + 1;
    }
    debuts_.append(start);
    endResetModel();
}

QStringView ListeApplications::MLigne(int row) const {
    return QStringView(texte_).mid(debuts_[row], debuts_[row + 1] - debuts_[row] - 1);
}

QStringView ListeApplications::MChamp(QStringView ligne, int n) {
    const QLatin1String separator("--");
    qsizetype start = 0;
    for (int k = 0; k < n; ++k) {
        const qsizetype at = ligne.indexOf(separator, start);
        if (at < 0) return {};
        start = at + separator.size();
    }
    const qsizetype end = ligne.indexOf(separator, start);
    return ligne.mid(start, end < 0 ? -1 : end - start);
}

int ListeApplications::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || debuts_.isEmpty() ? 0 : int(debuts_.size() - 1);
}

int ListeApplications::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant ListeApplications::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const QStringView text = MChamp(MLigne(index.row()), kFields[index.column()]);
    // An empty cell has no text at all, as an unset one: its row is drawn the same.
    return text.isEmpty() ? QVariant() : QVariant(text.toString());
}

QVariant ListeApplications::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QString headings[] = {QStringLiteral("Application"), QStringLiteral("Version"),
                                       QStringLiteral("Date")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2) return {};
    return headings[section];
}
