#include "shell/Progress.h"

#include <QLabel>
#include <QProgressBar>
#include <QTime>

#include <cmath>

Progress::Progress(QProgressBar* bar, QLabel* restLabel)
    : clock([] { return QTime::currentTime().msecsSinceStartOfDay() / 1000; }), m_bar(bar), m_rest(restLabel)
{
}

void Progress::ProgressStart(long total)
{
    // A fresh QProgressBar stands at -1: no run is under way then either.
    if (m_bar->value() > 0)
        ProgressMaxStack.append(float(m_bar->maximum()));
    if (total == 0)
        total = 1;
    m_bar->setValue(0);
    m_bar->setMaximum(int(total));
    ProgressStartTime = clock();
    // No elapsed time can equal this, so the first step always writes the line.
    ProgressShownElapsed = -1;
}

void Progress::ProgressStep(long done)
{
    m_bar->setValue(int(done));
    if (done == 0) {
        m_rest->setText(QString());
        m_rest->repaint();
        if (!ProgressMaxStack.isEmpty()) {
            m_bar->setValue(0);
            m_bar->setMaximum(int(ProgressMaxStack.takeLast()));
        }
        return;
    }
    const int elapsed = elapsedSince(ProgressStartTime, clock());
    if (elapsed == ProgressShownElapsed)
        return;
    const double total = double(m_bar->maximum()) / double(done) * double(elapsed);
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
