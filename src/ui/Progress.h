#pragma once

#include <QList>
#include <QString>

#include <functional>

class QLabel;
class QProgressBar;

// Drives the main window's progress bar and the remaining-time line. Runs
// nest: a run started while another one is under way saves the outer
// maximum and gives it back when it ends.
class Progress {
public:
    Progress(QProgressBar* bar, QLabel* restLabel);

    // Seconds since midnight, whole seconds; replaceable for tests.
    std::function<int()> clock;

    void ProgressStart(long total);
    void ProgressStep(long done);

    // The run's Value and Max; the bar itself is redrawn only when that shows.
    long value() const { return m_value; }
    long maximum() const { return m_max; }

    int ProgressStartTime = 0;
    int ProgressShownElapsed = -1;
    QList<float> ProgressMaxStack;

private:
    void show(long value, long max);

    long m_value = 0;
    long m_max = 100;
    long m_shownValue = -1;
    QProgressBar* m_bar;
    QLabel* m_rest;
};
