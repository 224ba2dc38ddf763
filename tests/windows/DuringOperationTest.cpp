// The user acts while the conversion window works: each long operation yields
// to the user interface, and during a yield the user may close the window,
// type into the main window's data-source box, edit the Access path, close the
// identity-table window or press the stop picture. The program must go on (or
// end the operation) without a crash and end in a usable state.

#include "MessageBoxAnswerer.h"
#include "ProgramDriver.h"
#include "QtPrinters.h"
#include "ServerProbe.h"
#include "TestSupport.h"
#include "conversion/TableList.h"
#include "ui/ClickableLabel.h"
#include "windows/Form_Auto.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

enum class Moment { Load, Copy, BatchEnd };
enum class Action { CloseWindow, TypeDataSource, LogInAgain, EditPath, CloseIdentityWindow, StopPicture };

const char* name(Moment m)
{
    switch (m) {
    case Moment::Load:
        return "Load";
    case Moment::Copy:
        return "Copy";
    case Moment::BatchEnd:
        return "BatchEnd";
    }
    return "";
}

const char* name(Action a)
{
    switch (a) {
    case Action::CloseWindow:
        return "CloseWindow";
    case Action::TypeDataSource:
        return "TypeDataSource";
    case Action::LogInAgain:
        return "LogInAgain";
    case Action::EditPath:
        return "EditPath";
    case Action::CloseIdentityWindow:
        return "CloseIdentityWindow";
    case Action::StopPicture:
        return "StopPicture";
    }
    return "";
}

// The status line tells where the operation stands.
bool reached(Moment moment, const QString& status)
{
    switch (moment) {
    case Moment::Load:
        return status.startsWith(QStringLiteral("suche Tabelle "));
    case Moment::Copy:
        return copiedRows(status) >= 300;
    case Moment::BatchEnd:
        return status.startsWith(QStringLiteral("Bereit. letzte Aktion: "));
    }
    return false;
}

struct Scenario {
    Moment moment;
    Action action;
};

std::string scenarioName(const testing::TestParamInfo<Scenario>& info)
{
    return std::string(name(info.param.moment)) + "_" + name(info.param.action);
}

class DuringOperation : public testing::TestWithParam<Scenario> {};

// Acts once, the first time the status line reaches the moment.
class Trigger {
public:
    Trigger(Program& app, Moment moment, std::function<void()> act)
        : m_app(app)
        , m_moment(moment)
        , m_act(std::move(act))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            // The window may already be gone when the action closed it.
            if (m_done || !m_window)
                return;
            if (reached(m_moment, m_window->Label1->text())) {
                m_done = true;
                m_act();
            }
        });
        m_window = app.konv;
        m_timer.start(0);
    }
    bool done() const { return m_done; }

private:
    Program& m_app;
    Moment m_moment;
    std::function<void()> m_act;
    QPointer<Konvertierung> m_window;
    QTimer m_timer;
    bool m_done = false;
};

// Lets queued closes and deletions happen.
void settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The conversion window as a user finds it again: open it (logging in anew
// when the login was reset) and load the file.
void expectUsable(Program& app, const QString& path)
{
    if (app.main->Command1->isEnabled())
        app.openConversion();
    else
        app.logIn(Login::TestServer);
    ASSERT_TRUE(app.main->Command1->isEnabled());
    ASSERT_NE(app.konv, nullptr);
    EXPECT_FALSE(app.konv->operationRunning());
    EXPECT_FALSE(app.konv->Busy);
    EXPECT_TRUE(app.load(path).isEmpty());
    EXPECT_TRUE(app.konv->Command2->isEnabled());
    EXPECT_EQ(app.entries().size(), 2);
}

}  // namespace

TEST_P(DuringOperation, ProgramGoesOnAndStaysUsable)
{
    REQUIRE_FIXTURE(path, "bench.mdb");
    REQUIRE_TEST_SERVER();
    const Scenario s = GetParam();
    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    QPointer<Konvertierung> window = app.konv;

    std::function<void()> act;
    switch (s.action) {
    case Action::CloseWindow:
        act = [&] { window->parentWidget()->close(); };
        break;
    case Action::TypeDataSource:
        act = [&] { QTest::keyClicks(app.main->ODBC_Name, QStringLiteral("X")); };
        break;
    case Action::LogInAgain:
        act = [&] { app.main->Command3->click(); };
        break;
    case Action::EditPath:
        act = [&] { QTest::keyClicks(window->QELPfad, QStringLiteral("x")); };
        break;
    case Action::CloseIdentityWindow:
        act = [&] { app.main->formAuto()->parentWidget()->close(); };
        break;
    case Action::StopPicture:
        act = [&] { window->Image1->clicked(); };
        break;
    }

    MessageBoxAnswerer answers;
    if (s.moment == Moment::Load) {
        Trigger trigger(app, s.moment, act);
        app.load(path);
        EXPECT_TRUE(trigger.done());
    } else {
        EXPECT_TRUE(app.load(path).isEmpty());
        // Konten (20,000 rows) is long enough to act in, short enough to run whole.
        app.markOnly({QStringLiteral("Konten")});
        Trigger trigger(app, s.moment, act);
        window->Command2->click();
        EXPECT_TRUE(trigger.done());
    }
    settle();
    if (s.action == Action::LogInAgain) {
        // The rows gathered when the user logged in again went nowhere: the new login may be another server's.
        const auto inserts = app.main->state.ServerConnection->OpenResultset(
            QStringLiteral("SHOW SESSION STATUS LIKE 'Com_insert'"), rdOpenForwardOnly);
        EXPECT_EQ(inserts->Value(1).toString(), QStringLiteral("0"));
    }

    const bool windowGoes = s.action == Action::TypeDataSource || s.action == Action::LogInAgain
        || (s.action == Action::CloseWindow && s.moment != Moment::Copy);
    if (windowGoes) {
        EXPECT_TRUE(window.isNull()) << "the window closes once the operation has ended";
        EXPECT_EQ(app.main->konvertierung(), nullptr);
    } else {
        ASSERT_FALSE(window.isNull());
        EXPECT_FALSE(window->operationRunning());
        EXPECT_FALSE(window->Busy);
        EXPECT_TRUE(window->Command4->isEnabled());
        EXPECT_FALSE(window->Image1->isVisible());
        if (s.action == Action::EditPath) {
            // The path's change rule followed the end of the operation.
            EXPECT_EQ(window->List2->count(), 0);
            EXPECT_FALSE(window->Command2->isEnabled());
        } else {
            EXPECT_TRUE(window->Command2->isEnabled());
        }
        if (s.moment != Moment::Load) {
            const QString entry = s.action == Action::EditPath ? QString() : app.entryOf(QStringLiteral("Konten"));
            const long rows = probe.scalar(QStringLiteral("SELECT COUNT(*) FROM Konten")).toString().toLong();
            if (s.action == Action::StopPicture || s.action == Action::CloseWindow) {
                // The copy stops (a close request leaves the window), and a half-filled table is never converted.
                EXPECT_EQ(entry, PadName(QStringLiteral("Konten")) + QStringLiteral("[!Fehler!]"));
                EXPECT_LT(rows, 20000);
            } else {
                EXPECT_EQ(rows, 20000);
                if (!entry.isEmpty()) {
                    EXPECT_EQ(entry, PadName(QStringLiteral("Konten")) + QStringLiteral("[migriert]"));
                }
            }
        }
        if (s.action == Action::CloseIdentityWindow && s.moment != Moment::Load) {
            // Loaded again and shown at the end of the batch; closed after the
            // count line was written, it comes back empty, as a closed window does.
            Form_Auto* identity = app.main->formAuto();
            EXPECT_TRUE(identity->isVisible());
            if (s.moment == Moment::Copy) {
                ASSERT_EQ(identity->listAuto()->count(), 1);
                EXPECT_EQ(identity->listAuto()->item(0)->text(), QStringLiteral("0 Tabellen"));
            }
        }
    }
    expectUsable(app, path);

    const QString reason = s.action == Action::StopPicture ? QStringLiteral("vom Benutzer angehalten")
        : s.action == Action::CloseWindow                  ? QStringLiteral("das Fenster wurde geschlossen")
        : s.action == Action::TypeDataSource || s.action == Action::LogInAgain
        ? QStringLiteral("die Anmeldung wurde zurückgesetzt")
        : QString();
    if (s.moment != Moment::Copy || reason.isEmpty())
        return;
    // The log says how far the copy came and why; a new process marks the half-filled table and converts it whole.
    const QStringList log = app.log();
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const QString& line) {
        return line.startsWith(QStringLiteral("Tabelle Konten: Kopie nach "))
            && line.endsWith(QStringLiteral(" von 20000 Datensätzen abgebrochen (") + reason + QStringLiteral(")."));
    })) << log.join(QLatin1Char('\n')).toStdString();
    Program next;
    EXPECT_TRUE(next.load(path).isEmpty());
    EXPECT_TRUE(next.isMarked(QStringLiteral("Konten")));
    EXPECT_TRUE(next.information().contains(
        QStringLiteral("Tabelle Konten: die letzte Konvertierung wurde nicht beendet, die Tabelle ist markiert.")));
    next.markOnly({QStringLiteral("Konten")});
    next.convertMarked();
    EXPECT_EQ(probe.scalar(QStringLiteral("SELECT COUNT(*) FROM Konten")).toString(), QStringLiteral("20000"));
}

INSTANTIATE_TEST_SUITE_P(
    Yields, DuringOperation,
    testing::Values(Scenario{Moment::Load, Action::CloseWindow}, Scenario{Moment::Load, Action::TypeDataSource},
                    Scenario{Moment::Load, Action::EditPath}, Scenario{Moment::Load, Action::CloseIdentityWindow},
                    Scenario{Moment::Copy, Action::CloseWindow}, Scenario{Moment::Copy, Action::TypeDataSource},
                    Scenario{Moment::Copy, Action::LogInAgain}, Scenario{Moment::Copy, Action::EditPath},
                    Scenario{Moment::Copy, Action::CloseIdentityWindow}, Scenario{Moment::Copy, Action::StopPicture},
                    Scenario{Moment::BatchEnd, Action::CloseWindow}, Scenario{Moment::BatchEnd, Action::TypeDataSource},
                    Scenario{Moment::BatchEnd, Action::EditPath},
                    Scenario{Moment::BatchEnd, Action::CloseIdentityWindow}),
    scenarioName);

// A login reset in the middle of the copy ends the batch early: the remaining
// rows are not copied on behalf of a window that is going away.
TEST(DuringOperationDetail, LoginResetEndsTheBatchBeforeItsNextTable)
{
    REQUIRE_FIXTURE(path, "bench.mdb");
    REQUIRE_TEST_SERVER();
    ServerProbe probe;
    probe.dropAllTables();
    Program app;
    EXPECT_TRUE(app.load(path).isEmpty());
    app.markOnly({QStringLiteral("Konten"), QStringLiteral("Buchungen")});
    QPointer<Konvertierung> window = app.konv;
    MessageBoxAnswerer answers;
    Trigger trigger(app, Moment::Copy, [&] { QTest::keyClicks(app.main->ODBC_Name, QStringLiteral("X")); });
    window->Command2->click();
    EXPECT_TRUE(trigger.done());
    settle();
    EXPECT_TRUE(window.isNull());
    // The first table's copy stopped; the second was never started.
    auto tablesOnServer = [&] {
        QStringList names;
        for (const auto& row : probe.rows(QStringLiteral("SELECT TABLE_NAME FROM INFORMATION_SCHEMA.TABLES WHERE "
                                                         "TABLE_SCHEMA = DATABASE() ORDER BY TABLE_NAME")))
            names.append(row.value(0).toString());
        return names;
    };
    const QStringList onServer = tablesOnServer();
    ASSERT_EQ(onServer.size(), 1) << onServer.join(QLatin1Char(',')).toStdString();
    const long rows = probe.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + onServer[0]).toString().toLong();
    EXPECT_LT(rows, onServer[0] == QStringLiteral("Konten") ? 20000 : 200000);
    EXPECT_TRUE(answers.seen.isEmpty()) << "no final message for a batch cut short";
    EXPECT_FALSE(app.main->Command1->isEnabled());
}
