// How far long work has come, with "Peruuta".
#include "qt/ProgressBox.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <thread>

namespace kp {
namespace {

// Work shorter than this shows no box at all.
constexpr qint64 kQuietMs = 400;
// The box and the window are served at most this often.
constexpr qint64 kServeMs = 40;
constexpr int kScale = 1000;

} // namespace

ProgressBox::ProgressBox(QWidget* parent, QString caption)
    : m_parent(parent), m_caption(std::move(caption)) {}

ProgressBox::~ProgressBox() = default;

bool ProgressBox::step(size_t done, size_t total) {
    // The work starts with its first step, not when the box is made: a print dialog may stand
    // in between.
    if (!m_clock.isValid())
        m_clock.start();
    const qint64 now = m_clock.elapsed();
    if (now - m_lastServed < kServeMs)
        return !(m_box && m_box->wasCanceled());
    m_lastServed = now;
    if (!m_box && now >= kQuietMs) {
        m_box = std::make_unique<QProgressDialog>(m_caption, QStringLiteral("Peruuta"), 0,
                                                  total > 0 ? kScale : 0, m_parent);
        m_box->setWindowTitle(QStringLiteral("Kirjanpito"));
        m_box->setWindowModality(Qt::WindowModal);
        m_box->setMinimumDuration(0);
        m_box->setAutoClose(false);
        m_box->setAutoReset(false);
        m_box->show();
    }
    if (m_box && total > 0)
        m_box->setValue(static_cast<int>(static_cast<double>(done) / total * kScale));
    QCoreApplication::processEvents();
    return !(m_box && m_box->wasCanceled());
}

bool RunOffThread(QWidget* parent, const QString& caption, std::function<void()> work) {
    struct Shared {
        std::atomic<bool> done{false};
        std::exception_ptr failure;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            shared->failure = std::current_exception();
        }
        shared->done = true;
    }).detach();

    ProgressBox box(parent, caption);
    QEventLoop loop;
    QTimer poll;
    bool cancelled = false;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (shared->done)
            loop.quit();
        else if (!box.step(0, 0)) {
            cancelled = true;
            loop.quit();
        }
    });
    poll.start(10);
    loop.exec();
    if (cancelled)
        return false;
    if (shared->failure)
        std::rethrow_exception(shared->failure);
    return true;
}

} // namespace kp
