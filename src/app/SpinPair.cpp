#include "app/SpinPair.h"

#include "protocol/VbNumbers.h"

#include <QEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QWheelEvent>

SpinPair::SpinPair(QScrollBar *spin, QLineEdit *field, bool sixteenths)
    : QObject(spin), m_spin(spin), m_field(field), m_sixteenths(sixteenths) {
    // The up arrow raises the value, as on a spin box: the handle sits high
    // for high values, and the arrow, page and key steps are turned round to
    // match (a scroll bar's up arrow steps towards its minimum). Up and Page Up
    // already step down on a scroll bar, so they come out raising too.
    spin->setInvertedAppearance(true);
    spin->setInvertedControls(true);
    connect(spin, &QAbstractSlider::actionTriggered, this, [this](int action) {
        const int step = m_spin->singleStep(), page = m_spin->pageStep(), v = m_spin->value();
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            m_spin->setSliderPosition(v - step);
            break;
        case QAbstractSlider::SliderSingleStepSub:
            m_spin->setSliderPosition(v + step);
            break;
        case QAbstractSlider::SliderPageStepAdd:
            m_spin->setSliderPosition(v - page);
            break;
        case QAbstractSlider::SliderPageStepSub:
            m_spin->setSliderPosition(v + page);
            break;
        default:
            break;
        }
    });
    spin->installEventFilter(this);
    connect(spin, &QScrollBar::valueChanged, this,
            [this](int v) { m_field->setText(QString::number(m_sixteenths ? v * 16 : v)); });
    if (sixteenths) {
        field->installEventFilter(this);
    } else {
        connect(field, &QLineEdit::textChanged, this, [this](const QString &text) {
            if (!VbNumbers::isNumeric(text)) return;
            const double v = VbNumbers::value(text);
            if (v >= m_spin->minimum() && v <= m_spin->maximum())
                m_spin->setValue(int(VbNumbers::roundHalfEven(v)));
        });
    }
}

SpinPair *SpinPair::plain(QScrollBar *spin, QLineEdit *field) {
    return new SpinPair(spin, field, false);
}

SpinPair *SpinPair::sixteenths(QScrollBar *spin, QLineEdit *field) {
    return new SpinPair(spin, field, true);
}

void SpinPair::applyFieldRule() {
    if (!VbNumbers::isNumeric(m_field->text())) return;
    const long long v = VbNumbers::roundHalfEven(VbNumbers::value(m_field->text()) / 16.0);
    if (v >= m_spin->minimum() && v <= m_spin->maximum()) m_spin->setValue(int(v));
}

bool SpinPair::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_spin && event->type() == QEvent::Wheel) {
        // Turning the wheel up raises the value, as the up arrow does.
        const int notches = static_cast<QWheelEvent *>(event)->angleDelta().y() / 120;
        m_spin->setValue(m_spin->value() + notches * m_spin->singleStep());
        return true;
    }
    if (watched == m_field && event->type() == QEvent::FocusOut) applyFieldRule();
    return QObject::eventFilter(watched, event);
}
