// The period chooser's group box.
#include "qt/PeriodBox.h"

#include "qt/QtText.h"
#include "reports/PeriodChooser.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalBlocker>

namespace kp {

PeriodBox::PeriodBox(PeriodChooser& chooser, QWidget* parent)
    : QGroupBox(parent), m_chooser(chooser), m_month(new QComboBox(this)),
      m_year(new QComboBox(this)), m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Peruuta"), this)) {
    // The box may open over a page that shows text (the journal, when it is printed): its own
    // background keeps its caption and lists readable.
    setAutoFillBackground(true);
    for (std::string_view item : kPeriodItems)
        m_month->addItem(FromBook(item));
    m_month->setPlaceholderText(FromBook(kNothingChosen));
    m_month->setMaxVisibleItems(static_cast<int>(kPeriodItems.size()));

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_year, 0, 0, 1, 2);
    layout->addWidget(m_month, 1, 0, 1, 2);
    layout->addWidget(m_ok, 2, 0);
    layout->addWidget(m_cancel, 2, 1);

    // Each list's rule may move the other one; the box then shows the chooser's result.
    connect(m_month, &QComboBox::activated, this, [this](int index) {
        if (m_syncing)
            return;
        m_chooser.selectMonth(index);
        sync();
    });
    connect(m_year, &QComboBox::activated, this, [this](int index) {
        if (m_syncing)
            return;
        m_chooser.selectYear(index);
        sync();
    });
    connect(m_ok, &QPushButton::clicked, this, &PeriodBox::accepted);
    connect(m_cancel, &QPushButton::clicked, this, &PeriodBox::rejected);
    hide();
}

void PeriodBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit accepted();
        break;
    case Qt::Key_Escape:
        emit rejected();
        break;
    default:
        QGroupBox::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PeriodBox::setIndex(QComboBox* list, int index) {
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void PeriodBox::sync() {
    m_syncing = true;
    if (m_chooser.visible()) {
        setTitle(FromBook(m_chooser.request().caption));
        QStringList years;
        for (const std::string& item : m_chooser.yearItems())
            years << FromBook(item);
        QStringList shown;
        for (int i = 0; i < m_year->count(); ++i)
            shown << m_year->itemText(i);
        if (shown != years) {
            const QSignalBlocker blocker(m_year);
            m_year->clear();
            m_year->addItems(years);
        }
        m_year->setVisible(m_chooser.yearVisible());
        setIndex(m_year, m_chooser.yearIndex());
        setIndex(m_month, m_chooser.monthIndex());
        const bool opening = isHidden();
        show();
        raise();
        // The box opens with the keyboard in its first list, so that the arrows choose and
        // Enter accepts at once.
        if (opening)
            (m_chooser.yearVisible() ? m_year : m_month)->setFocus(Qt::OtherFocusReason);
    } else {
        hide();
    }
    m_syncing = false;
}

} // namespace kp
