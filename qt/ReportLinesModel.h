// A list model over the report lines of one statement page.
#pragma once

#include "book/ReportLines.h"

#include <QAbstractListModel>

namespace kp {

// Rows are the lines as they are; the delegate draws them. DisplayRole gives the line as text
// (TABs kept) for tests and accessibility; LineRole gives the raw Windows-1252 bytes.
class ReportLinesModel : public QAbstractListModel {
    Q_OBJECT

  public:
    static constexpr int LineRole = Qt::UserRole + 1;

    explicit ReportLinesModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

    // The lines shown; the controller owns them. Switching sources resets the model.
    void setLines(const ReportLines* lines);
    const ReportLines* lines() const { return m_lines; }
    void freeze();
    void thaw();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    const ReportLines* m_lines = nullptr;
    bool m_frozen = false;
};

} // namespace kp
