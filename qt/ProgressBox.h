// How far long work has come, with "Peruuta": the box appears only when the work lasts, and the
// window keeps repainting meanwhile.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace kp {

class ProgressBox {
  public:
    ProgressBox(QWidget* parent, QString caption);
    ~ProgressBox();
    ProgressBox(const ProgressBox&) = delete;
    ProgressBox& operator=(const ProgressBox&) = delete;

    // Work done so far, of total (0 of 0 when unknown); false once "Peruuta" was pressed.
    // Cheap to call often: the box and the window are served a few dozen times a second.
    bool step(size_t done, size_t total);

  private:
    QWidget* m_parent;
    QString m_caption;
    QElapsedTimer m_clock; // from the first step
    qint64 m_lastServed = 0;
    std::unique_ptr<QProgressDialog> m_box;
};

// Runs work on a thread of its own while a progress box serves the window. False when the user
// pressed "Peruuta": the work then runs to its end unseen, so it must own all it touches.
bool RunOffThread(QWidget* parent, const QString& caption, std::function<void()> work);

} // namespace kp
