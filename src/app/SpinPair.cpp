#include "app/SpinPair.h"

#include "protocol/VbNumbers.h"

#include <QEvent>
#include <QLineEdit>
#include <QScrollBar>

SpinPair::SpinPair(QScrollBar *spin, QLineEdit *field, bool sixteenths)
    : QObject(spin), m_spin(spin), m_field(field), m_sixteenths(sixteenths) {
    // The up arrow raises the value.
    spin->setInvertedAppearance(true);
    spin->setInvertedControls(false);
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
    if (watched == m_field && event->type() == QEvent::FocusOut) applyFieldRule();
    return QObject::eventFilter(watched, event);
}
