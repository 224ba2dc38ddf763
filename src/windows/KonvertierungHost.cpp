#include "conversion/CopyLoop.h"
#include "conversion/TableList.h"
#include "core/TabrixError.h"
#include "core/TimeOfDay.h"
#include "server/ServerErrors.h"
#include "session/Session.h"
#include "translation/Triggers.h"
#include "translation/Views.h"
#include "ui/ClickableLabel.h"
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
#include <QPushButton>

#include <cmath>

namespace {
// The row copy yields at most this often.
constexpr qint64 kCopyYieldMilliseconds = 20;

double secondsSinceMidnight()
{
    return TimeOfDay::msecsSinceMidnight() / 1000.0;
}
}  // namespace

// The conversion window as the conversion, the views and the triggers see it:
// its controls read and written, nothing decided.

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

void Konvertierung::showBatchPosition(int number, int count)
{
    Label1->setPrefix(number > 0 ? QStringLiteral("Tabelle %1 von %2: ").arg(number).arg(count) : QString());
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

QString Konvertierung::accessPath() const
{
    return QELPfad->text();
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
bool Konvertierung::checkData() const
{
    return Check_Pruefen->isChecked();
}
bool Konvertierung::structureOnly() const
{
    return Check_NoData->isChecked();
}
bool Konvertierung::interruptOnError() const
{
    return Check_Message->isChecked();
}
bool Konvertierung::autoMode() const
{
    return m_session->module1().AutoMode;
}
QString Konvertierung::dataSourceName() const
{
    return m_session->dataSourceName();
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

ServerConnection& Konvertierung::queryConnection()
{
    if (!m_session->module1().QueryConnection)
        throw NoConnectionError();
    return *m_session->module1().QueryConnection;
}

quint64 Konvertierung::login() const
{
    const auto& connection = m_session->module1().ServerConnection;
    return connection ? connection->LoginNumber() : 0;
}

UnfinishedTables& Konvertierung::unfinishedTables()
{
    return m_session->module1().UnfinishedTables;
}

void Konvertierung::noteStateWarning(const QString& warning)
{
    // Once per process: the memory of this process still serves.
    if (warning.isEmpty() || m_session->module1().StateWarningShown)
        return;
    m_session->module1().StateWarningShown = true;
    m_session->errorLog().Add(warning);
}

void Konvertierung::setRunFailed()
{
    m_session->module1().RunFailed = true;
}

// The table list: each entry keeps its table's name beside the text it shows.

void Konvertierung::clearTableList()
{
    List2->clear();
}

void Konvertierung::addTableEntry(const QString& table)
{
    auto* item = new QListWidgetItem(table, List2);
    item->setData(Qt::UserRole, table);
}

int Konvertierung::tableEntries() const
{
    return List2->count();
}

QString Konvertierung::tableAt(int entry) const
{
    const QListWidgetItem* item = List2->item(entry);
    const QVariant name = item->data(Qt::UserRole);
    return name.isValid() ? name.toString() : TableNameFromEntry(item->text());
}

bool Konvertierung::tableMarked(int entry) const
{
    return List2->item(entry)->isSelected();
}

void Konvertierung::setEntryText(int entry, const QString& text)
{
    List2->item(entry)->setText(text);
}

void Konvertierung::setEntryMarked(int entry, bool marked)
{
    List2->item(entry)->setSelected(marked);
}

void Konvertierung::markOnLoad(int entry, bool marked)
{
    // The switch stands open while the program marks, so the click rule keeps out.
    setMarkingAllowed(true);
    List2->item(entry)->setSelected(marked);
    setMarkingAllowed(false);
}

void Konvertierung::showEntryAtTop(int entry)
{
    List2->scrollToItem(List2->item(entry), QAbstractItemView::PositionAtTop);
}

void Konvertierung::showTableName(const QString& table)
{
    Text1->setText(table);
}

void Konvertierung::enableFileCommands()
{
    Command3->setEnabled(true);
    Command4->setEnabled(true);
}

void Konvertierung::clearLines()
{
    List1->clear();
}
void Konvertierung::appendLine(const QString& line)
{
    List1->addItem(line);
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

void Konvertierung::log(const QString& line)
{
    m_session->errorLog().Add(line);
}

void Konvertierung::logError(const QString& text)
{
    m_session->errorLog().Add(text);
    m_session->errorLog().toBack();
    comeToFront();
}

void Konvertierung::clearLog()
{
    m_session->errorLog().Clear();
}

void Konvertierung::setLastErrorText(const QString& text)
{
    m_session->module1().LastErrorText = text;
}

void Konvertierung::showErrorMessage(const QString& text, const QString& title)
{
    ShowMessage(this, text, title);
}

void Konvertierung::showMessage(const QString& text)
{
    ShowMessage(this, text);
}

bool Konvertierung::askYes(const QString& question, const QString& title, bool escapeMeansYes)
{
    return ShowMessage(this, question, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::NoIcon,
                       escapeMeansYes ? QMessageBox::Yes : QMessageBox::No)
        == QMessageBox::Yes;
}

void Konvertierung::addIdentityTable(const QString& table)
{
    m_session->identityTables().add(table);
    comeToFront();
}

void Konvertierung::clearIdentityTables()
{
    m_session->identityTables().clear();
}

void Konvertierung::addIdentityCountLine()
{
    m_session->identityTables().addCountLine();
}

void Konvertierung::showIdentityTables()
{
    m_session->identityTables().showInFront();
}

void Konvertierung::tableRunning(bool running)
{
    Busy = running;
    if (running)
        m_stopReason.clear();
    else
        AbortRequested = false;
}

void Konvertierung::showStopPicture(bool visible)
{
    Image1->setVisible(visible);
}

ViewsOutcome Konvertierung::runViews()
{
    return RunQueriesToViews(*this);
}

TriggersOutcome Konvertierung::runTriggers()
{
    return RunRelationsToTriggers(*this);
}

void Konvertierung::progressStart(long total)
{
    m_session->ProgressStart(total);
}
void Konvertierung::progressStep(long done)
{
    m_session->ProgressStep(done);
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

void Konvertierung::connectionLost(const QString& serverText)
{
    m_session->ConnectionLost();
    ShowMessage(this, ConnectionLostMessage(serverText));
}
