#include "ui/StatusLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QStyle>

namespace {

class AccessibleStatusLabel : public QAccessibleWidget {
public:
    explicit AccessibleStatusLabel(QWidget* widget) : QAccessibleWidget(widget, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const StatusLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* accessibleStatusLabel(const QString& className, QObject* object)
{
    if (className == QLatin1String("StatusLabel") && object && object->isWidgetType())
        return new AccessibleStatusLabel(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

StatusLabel::StatusLabel(const QString& text, QWidget* parent) : QFrame(parent), m_text(text)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleStatusLabel);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_pending.setSingleShot(true);
    connect(&m_pending, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

QString StatusLabel::text() const
{
    if (m_format) {
        m_text = m_format(m_counts[0], m_counts[1], m_counts[2]);
        m_format = nullptr;
    }
    return m_prefix + m_text;
}

void StatusLabel::setText(const QString& text)
{
    if (!m_format && text == m_text)
        return;
    m_format = nullptr;
    m_text = text;
    changed();
}

void StatusLabel::setCounts(CountFormat format, long a, long b, long c)
{
    m_format = format;
    m_counts[0] = a;
    m_counts[1] = b;
    m_counts[2] = c;
    changed();
}

void StatusLabel::setPrefix(const QString& prefix)
{
    if (prefix == m_prefix)
        return;
    m_prefix = prefix;
    changed();
}

void StatusLabel::changed()
{
    // Only when a screen reader or test tool listens: the copy sets a text per row.
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    constexpr qint64 interval = 40;
    if (!m_sincePaint.isValid() || m_sincePaint.elapsed() >= interval)
        update();
    else if (!m_pending.isActive())
        m_pending.start(int(interval - m_sincePaint.elapsed()));
}

QSize StatusLabel::sizeHint() const
{
    return QSize(200, fontMetrics().height() + 2 * frameWidth() + 4);
}

QSize StatusLabel::minimumSizeHint() const
{
    return QSize(20, sizeHint().height());
}

void StatusLabel::paintEvent(QPaintEvent* event)
{
    m_sincePaint.start();
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(2, 0, -2, 0);
    painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft,
                     fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
}
