#include "shell/Progress.h"

#include <QLabel>
#include <QProgressBar>
#include "shell/TimeOfDay.h"

#include <cmath>

Progress::Progress(QProgressBar* bar, QLabel* restLabel)
    : clock([] { return TimeOfDay::secondsSinceMidnight(); }), m_bar(bar), m_rest(restLabel)
{
}

void Progress::show(long value, long max)
{
    m_value = value;
    const bool newMax = max != m_max || m_bar->maximum() != int(max);
    m_max = max;
    // Per row the bar would repaint for nothing: a thousandth of the run is below a pixel.
    if (newMax || value == 0 || value == max || m_shownValue < 0
        || qAbs(value - m_shownValue) * 1000 >= qMax(1L, max)) {
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
    show(0, m_max);
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
    const int elapsed = elapsedSince(ProgressStartTime, clock());
    if (elapsed == ProgressShownElapsed)
        return;
    const double total = double(m_max) / double(done) * double(elapsed);
    const long totalSeconds = std::lround(total);
    m_rest->setText(QStringLiteral("Restzeit: ") + formatDuration(totalSeconds - elapsed)
                    + QStringLiteral(" / Gesamt: ") + formatDuration(totalSeconds)
                    + QStringLiteral(" / Vergangen: ") + formatDuration(elapsed));
    // The callers keep the event loop busy, so the line is painted here and now.
    m_rest->repaint();
    ProgressShownElapsed = elapsed;
}

int Progress::elapsedSince(int start, int now)
{
    int elapsed = now - start;
    if (elapsed < 0)
        elapsed += 24 * 3600;
    return elapsed;
}

QString Progress::formatDuration(long seconds)
{
    const bool negative = seconds < 0;
    if (negative)
        seconds = -seconds;
    const QString text = QStringLiteral("%1:%2:%3")
                             .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                             .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return negative ? QStringLiteral("-") + text : text;
}
