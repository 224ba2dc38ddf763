#include "ui/Progress.h"

#include "core/TimeOfDay.h"

#include <QLabel>
#include <QProgressBar>

#include <cmath>

Progress::Progress(QProgressBar* bar, QLabel* restLabel)
    : clock([] { return TimeOfDay::secondsSinceMidnight(); })
    , m_bar(bar)
    , m_rest(restLabel)
{
}

void Progress::show(long value, long max)
{
    m_value = value;
    const bool newMax = max != m_max || m_bar->maximum() != int(max);
    m_max = max;
    // Per row the bar would repaint for nothing: it moves when its filled part
    // grows by a pixel, and at least at every percent (its text).
    const long steps = qBound(100, m_bar->width(), 1000);
    if (newMax || value == 0 || value == max || m_shownValue < 0
        || qAbs(value - m_shownValue) * steps >= qMax(1L, max)) {
        if (newMax)
            m_bar->setMaximum(int(max));
        m_bar->setValue(int(value));
        m_shownValue = value;
    }
}

void Progress::ProgressStart(long total)
{
    if (m_value != 0)
        ProgressMaxStack.append(float(m_max));
    if (total == 0)
        total = 1;
    show(0, total);
    ProgressStartTime = clock();
    // No elapsed time can equal this, so the first step always writes the line.
    ProgressShownElapsed = -1;
}

void Progress::ProgressStep(long done)
{
    show(done, m_max);
    if (done == 0) {
        m_rest->setText(QString());
        m_rest->repaint();
        if (!ProgressMaxStack.isEmpty())
            show(0, long(ProgressMaxStack.takeLast()));
        return;
    }
    const int elapsed = TimeOfDay::elapsedSince(ProgressStartTime, clock());
    if (elapsed == ProgressShownElapsed)
        return;
    const double total = double(m_max) / double(done) * double(elapsed);
    const long totalSeconds = std::lround(total);
    m_rest->setText(QStringLiteral("Restzeit: ") + TimeOfDay::durationText(totalSeconds - elapsed)
                    + QStringLiteral(" / Gesamt: ") + TimeOfDay::durationText(totalSeconds)
                    + QStringLiteral(" / Vergangen: ") + TimeOfDay::durationText(elapsed));
    // The callers keep the event loop busy, so the line is painted here and now.
    m_rest->repaint();
    ProgressShownElapsed = elapsed;
}
