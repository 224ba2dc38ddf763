#include "conversion/CopyLoop.h"
#include "conversion/ErrorRule.h"
#include "core/TabrixError.h"
#include "core/TimeOfDay.h"
#include "server/ServerErrors.h"
#include "session/Session.h"
#include "ui/MessageBox.h"
#include "ui/StatusLabel.h"
#include "ui/WindowOrder.h"
#include "windows/Konvertierung.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <cmath>

namespace {
// The row copy yields at most this often.
constexpr qint64 kCopyYieldMilliseconds = 20;

double secondsSinceMidnight()
{
    return TimeOfDay::msecsSinceMidnight() / 1000.0;
}
}  // namespace

// The conversion window as the table conversion, the views and the triggers see it.

void Konvertierung::setStatus(const QString& text)
{
    Label1->setText(text);
    const double now = secondsSinceMidnight();
    if (now != double(LastYieldTime)) {
        yieldToUser();
        LastYieldTime = qint32(std::lround(now));
    } else {
        Label1->repaint();
    }
}

void Konvertierung::setCopyStatus(long n, long total, long skipped)
{
    // The line changes for every row: it keeps the numbers, and its text is
    // written when it is drawn or read.
    Label1->setCounts(&CopyStatusText, n, total, skipped);
    // The copy yields as often as a user can notice, not for every row (a
    // yield costs about as much as building the row's statement).
    if (!m_sinceCopyYield.isValid() || m_sinceCopyYield.elapsed() >= kCopyYieldMilliseconds) {
        yieldToUser();
        m_sinceCopyYield.start();
        LastYieldTime = qint32(std::lround(secondsSinceMidnight()));
    }
}

QString Konvertierung::abortReason() const
{
    if (!m_stopReason.isEmpty())
        return m_stopReason;
    if (unloadHeld())
        return QStringLiteral("die Anmeldung wurde zurückgesetzt");
    if (mustEnd())
        return QStringLiteral("das Fenster wurde geschlossen");
    return {};
}

Dialect Konvertierung::dialect() const
{
    return m_session->currentDialect();
}

ConversionOptions Konvertierung::options() const
{
    ConversionOptions o;
    o.dialect = m_session->currentDialect();
    o.linuxSwitch = m_session->linuxChecked();
    o.moduleDataSource = m_session->IsModuleDataSource();
    o.default0 = Check_Default0->isChecked();
    o.defaultBlank = Check_DefaultBlank->isChecked();
    return o;
}

QString Konvertierung::tableName() const
{
    return Text1->text();
}
bool Konvertierung::autowertChecked() const
{
    return Check_Autowert->isChecked();
}
QString Konvertierung::workstationCount() const
{
    return Text_Max->text();
}
QString Konvertierung::workstationNumber() const
{
    return Text_Mod->text();
}

bool Konvertierung::multiRowInserts() const
{
    return Check_MehrereZeilen->isChecked();
}

const dao::Database& Konvertierung::database() const
{
    if (!SourceDatabase)
        throw TabrixError(3420, QStringLiteral("Objekt ungültig oder nicht mehr festgelegt."),
                          QStringLiteral("DAO.Database"));
    return *SourceDatabase;
}

ServerConnection& Konvertierung::connection()
{
    if (!m_session->module1().ServerConnection)
        throw NoConnectionError();
    return *m_session->module1().ServerConnection;
}

quint64 Konvertierung::login() const
{
    const auto& connection = m_session->module1().ServerConnection;
    return connection ? connection->LoginNumber() : 0;
}

void Konvertierung::clearLines()
{
    List1->clear();
}
void Konvertierung::appendLine(const QString& line)
{
    List1->addItem(line);
}

QStringList Konvertierung::lines() const
{
    QStringList result;
    result.reserve(List1->count());
    for (int i = 0; i < List1->count(); ++i)
        result.append(List1->item(i)->text());
    return result;
}

void Konvertierung::setKeyList(const QStringList& keys)
{
    List3->clear();
    List3->addItems(keys);
}

void Konvertierung::setClipboardText(const QString& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

void Konvertierung::addIdentityTable(const QString& table)
{
    m_session->identityTables().add(table);
    comeToFront();
}

void Konvertierung::logNote(const QString& line)
{
    m_session->errorLog().Add(line);
}
void Konvertierung::progressStart(long total)
{
    m_session->ProgressStart(total);
}
void Konvertierung::progressStep(long done)
{
    m_session->ProgressStep(done);
}

void Konvertierung::step(const std::function<void()>& statement)
{
    try {
        statement();
    } catch (const TabrixError& e) {
        handleConversionError(e);
    } catch (const ConversionEnded&) {
        throw;
    } catch (const std::exception& e) {
        handleConversionError(AsTabrixError(e));
    }
}

void Konvertierung::handleConversionError(const TabrixError& error)
{
    const QString& text = error.description();
    switch (JudgeConversionError(error, m_session->currentDialect(), m_afterCreation)) {
    case ConversionErrorVerdict::Tolerated:
        return;
    case ConversionErrorVerdict::ConnectionLost:
        // Every further statement would fail the same way: the table ends here,
        // with one line in the log, and the batch stops after it.
        m_connectionLost = text;
        m_session->errorLog().Add(ConnectionLostLogLine(Text1->text(), text));
        m_session->module1().LastErrorText = text;
        TableFailed = true;
        endConversion();
        throw ConversionEnded{text};
    case ConversionErrorVerdict::Reported:
    case ConversionErrorVerdict::ReportedAndEnds:
        break;
    }

    m_session->errorLog().Add(text);
    m_session->errorLog().toBack();
    comeToFront();
    m_session->module1().LastErrorText = text;
    if (Check_Message->isChecked())
        ShowMessage(this,
                    QString::number(error.number()) + QStringLiteral(" ,  ") + text + QStringLiteral(" ,  ")
                        + error.source(),
                    ConversionStepName(m_afterCreation));
    TableFailed = true;
    if (!m_afterCreation) {
        endConversion();
        throw ConversionEnded{};
    }
}

bool Konvertierung::linuxSwitch() const
{
    return m_session->linuxChecked();
}

void Konvertierung::showLastLineAtTop()
{
    if (QListWidgetItem* last = List1->item(List1->count() - 1))
        List1->scrollToItem(last, QAbstractItemView::PositionAtTop);
}

void Konvertierung::clearWorkingList()
{
    List3->clear();
}
void Konvertierung::appendWorkingEntry(const QString& entry)
{
    List3->addItem(entry);
}
void Konvertierung::showMessage(const QString& text)
{
    ShowMessage(this, text);
}

void Konvertierung::connectionLost(const QString& serverText)
{
    m_session->ConnectionLost();
    ShowMessage(this, ConnectionLostMessage(serverText));
}
