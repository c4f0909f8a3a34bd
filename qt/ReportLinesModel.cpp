// A list model over the report lines of one statement page.
#include "qt/ReportLinesModel.h"

#include "output/LineRenderer.h"
#include "qt/QtText.h"

namespace kp {

void ReportLinesModel::setLines(const ReportLines* lines) {
    if (m_frozen) {
        m_lines = lines;
        return;
    }
    beginResetModel();
    m_lines = lines;
    endResetModel();
}

void ReportLinesModel::freeze() {
    if (m_frozen)
        return;
    beginResetModel();
    m_frozen = true;
}

void ReportLinesModel::thaw() {
    if (!m_frozen)
        return;
    m_frozen = false;
    endResetModel();
}

int ReportLinesModel::rowCount(const QModelIndex& parent) const {
    if (m_frozen || parent.isValid() || !m_lines)
        return 0;
    return static_cast<int>(m_lines->size());
}

QVariant ReportLinesModel::data(const QModelIndex& index, int role) const {
    if (m_frozen || !m_lines || !index.isValid() || index.row() < 0 ||
        static_cast<size_t>(index.row()) >= m_lines->size())
        return {};
    const std::string_view line = (*m_lines)[static_cast<size_t>(index.row())];
    if (role == LineRole)
        return QByteArray(line.data(), static_cast<qsizetype>(line.size()));
    if (role == Qt::DisplayRole)
        return FromBook(line);
    // The whole line, for when its columns cut a field short.
    if (role == Qt::ToolTipRole) {
        const std::string text = LineFieldsText(line);
        return text.empty() ? QVariant() : QVariant(FromBook(text));
    }
    return {};
}

} // namespace kp
