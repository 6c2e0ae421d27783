#include "sim/ShowWindow.h"
#include "sim/ScreenRenderer.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int DefaultPitch = 6;
} // namespace

// The LEDs at the largest whole pitch that fits the widget, drawn again only
// when the dots or that pitch change.
class LedView : public QWidget {
  public:
    explicit LedView(QWidget *parent) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    // True when the board's size changed, so the window should fit it anew.
    bool setDots(const QImage &dots) {
        if (dots == m_dots) return false;
        const bool resized = dots.size() != m_dots.size();
        m_dots = dots;
        m_leds = QImage();
        if (resized) {
            setMinimumSize(m_dots.size());
            updateGeometry();
        }
        update();
        return resized;
    }

    QSize sizeHint() const override {
        if (m_dots.isNull()) return QSize(64, 16) * DefaultPitch;
        // The default pitch, smaller for boards that would not fit the screen.
        int pitch = DefaultPitch;
        if (const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen()) {
            const QSize room = s->availableGeometry().size() * 9 / 10;
            pitch = std::clamp(std::min(room.width() / std::max(1, m_dots.width()),
                                        room.height() / std::max(1, m_dots.height())),
                               1, DefaultPitch);
        }
        return m_dots.size() * pitch;
    }

  protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x10, 0x10, 0x10));
        if (m_dots.isNull()) return;
        const qreal ratio = devicePixelRatioF();
        const int pitch = std::max(1, std::min(int(width() * ratio) / m_dots.width(),
                                               int(height() * ratio) / m_dots.height()));
        if (m_leds.isNull() || m_ledsPitch != pitch) {
            m_leds = renderLeds(m_dots, pitch);
            m_leds.setDevicePixelRatio(ratio);
            m_ledsPitch = pitch;
        }
        const QSizeF shown = m_leds.deviceIndependentSize();
        painter.drawImage(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2),
                          m_leds);
    }

  private:
    QImage m_dots;
    QImage m_leds;
    int m_ledsPitch = 0;
};

ShowWindow::ShowWindow(int address, QWidget *parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("ledsim – 地址 %1").arg(address));
    m_view = new LedView(this);
    m_status = new QLabel(this);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The status is Chinese: prefer a CJK face over whatever the default
    // falls back to, at a size where the strokes stay apart.
    QFont font = m_status->font();
    font.setFamilies(
        {QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC"), font.family()});
    font.setPointSizeF(std::max<qreal>(font.pointSizeF(), 11));
    m_status->setFont(font);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(4);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_status);
    m_status->setContentsMargins(6, 0, 6, 0);
}

void ShowWindow::showDots(const QImage &dots, const QString &status) {
    if (m_status->text() != status) m_status->setText(status);
    if (!m_view->setDots(dots)) return;
    // Not adjustSize(): it keeps windows to 2/3 of the screen, too small for long boards.
    QSize size = sizeHint();
    if (hasHeightForWidth()) size.setHeight(heightForWidth(size.width()));
    resize(size);
}
