#include "windows/Konvertierung.h"

#include "conversion/Conversion.h"
#include "core/TabrixError.h"
#include "session/Session.h"
#include "sql/DialectRecord.h"
#include "translation/Triggers.h"
#include "translation/Views.h"
#include "ui/BrowseFile.h"
#include "ui/ClickableLabel.h"
#include "ui/Legibility.h"
#include "ui/MessageBox.h"
#include "ui/StatusLabel.h"
#include "ui/WindowOrder.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int kNotAllowed = 255;
constexpr int kAllowed = 65280;
}  // namespace

Konvertierung::Konvertierung(Session* session, QWidget* parent)
    : QWidget(parent)
    , OperationWindow(this)
    , clock([] { return QDateTime::currentDateTime(); })
    , m_session(session)
{
    setObjectName(QStringLiteral("Konvertierung"));
    setWindowTitle(QStringLiteral("Konvertierung : Access zu SQL-Server"));
    buildControls();
}

Konvertierung::~Konvertierung() = default;

void Konvertierung::buildControls()
{
    Label4 = Named(new QLabel(QStringLiteral("Access :"), this), "Label4");
    QELPfad = Named(new QLineEdit(this), "QELPfad");
    Command3 = Named(new QPushButton(QStringLiteral("..."), this), "Command3");
    Command3->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    Command3->setToolTip(QStringLiteral("MDB öffnen"));
    Command4 = Named(new QPushButton(QStringLiteral("Anmelden"), this), "Command4");
    List2 = Named(new QListWidget(this), "List2");
    // Marks change only through the program and through single clicks (or the
    // space key) that the click rule sees; no dragging or select-all around it.
    List2->setSelectionMode(QAbstractItemView::MultiSelection);
    List2->installEventFilter(this);
    List2->viewport()->installEventFilter(this);
    List2->setFont(QFont(QStringLiteral("Monospace")));
    // Room for a padded name of 40 characters and its row count.
    List2->setMinimumWidth(QFontMetrics(List2->font()).horizontalAdvance(QString(56, QLatin1Char('M'))));
    List1 = Named(new QListWidget(this), "List1");
    List3 = Named(new QListWidget(this), "List3");
    Label2 = Named(new QLabel(QStringLiteral("Tabellenname :"), this), "Label2");
    Text1 = Named(new QLineEdit(QStringLiteral("AdressenStamm"), this), "Text1");
    Label1 = Named(new StatusLabel(QStringLiteral("Bereit."), this), "Label1");
    Label3 = Named(new QLabel(QStringLiteral("PC :"), this), "Label3");
    Text_Mod = Named(new QLineEdit(QStringLiteral("1"), this), "Text_Mod");
    Label5 = Named(new QLabel(QStringLiteral("von :"), this), "Label5");
    Text_Max = Named(new QLineEdit(QStringLiteral("1"), this), "Text_Max");
    Command1 = Named(new QPushButton(QStringLiteral("Tabelle nach SQL konvertieren"), this), "Command1");
    Command2 = Named(new QPushButton(QStringLiteral("Markierte Tabellen konvertieren"), this), "Command2");
    Command5 = Named(new QPushButton(QStringLiteral("Abfragen -> Sichten"), this), "Command5");
    Command6 = Named(new QPushButton(QStringLiteral("Beziehungen -> Trigger"), this), "Command6");
    Command7 = Named(new QPushButton(QStringLiteral("Komplette Übernahme"), this), "Command7");
    Command8 = Named(new QPushButton(QStringLiteral("Fehler- Protokoll"), this), "Command8");
    Command9 = Named(new QPushButton(QStringLiteral("Markieren nicht erlaubt"), this), "Command9");
    Check_Autowert = Named(
        new QCheckBox(QStringLiteral("Autowertidentität bei fehlendem Primärschlüssel automatisch anlegen."), this),
        "Check_Autowert");
    Check_DefaultBlank = Named(new QCheckBox(QStringLiteral("Default \" \" für Alpha"), this), "Check_DefaultBlank");
    Check_Default0 = Named(new QCheckBox(QStringLiteral("Default \"0\" für Zahlen"), this), "Check_Default0");
    Check_NoData =
        Named(new QCheckBox(QStringLiteral("Nur Struktur anlegen (keine Daten kopieren)"), this), "Check_NoData");
    Check_Message =
        Named(new QCheckBox(QStringLiteral("Fehlermeldungen anzeigen = Unterbrechung"), this), "Check_Message");
    Check_MehrereZeilen = Named(new QCheckBox(QStringLiteral("Mehrere Zeilen je INSERT"), this), "Check_MehrereZeilen");
    Check_MehrereZeilen->setChecked(!m_session->module1().SingleRowInserts);
    Check_Pruefen = Named(new QCheckBox(QStringLiteral("Daten prüfen"), this), "Check_Pruefen");
    Check_Pruefen->setChecked(!m_session->module1().NoDataCheck);
    DialectChanged();
    Image1 = Named(new ClickableLabel(this), "Image1");
    Image1->setPixmap(style()->standardIcon(QStyle::SP_BrowserStop).pixmap(32, 32));
    Image1->setToolTip(QStringLiteral("Stop"));
    Image1->setVisible(false);
    setMarkingAllowed(false);

    // Three columns above the information list: the tables, the commands, the
    // options. The information list spans the width, its long lines wrapped,
    // so that a server message of 200 characters shows whole.
    auto* grid = new QGridLayout(this);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(Label4);
    pathRow->addWidget(QELPfad, 1);
    pathRow->addWidget(Command3);
    pathRow->addWidget(Command4);
    grid->addLayout(pathRow, 0, 0, 1, 3);
    grid->addWidget(List2, 1, 0);
    auto* commands = new QVBoxLayout;
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(Label2);
    tableRow->addWidget(Text1, 1);
    commands->addLayout(tableRow);
    auto* pcRow = new QHBoxLayout;
    pcRow->addWidget(Label3);
    pcRow->addWidget(Text_Mod);
    pcRow->addWidget(Label5);
    pcRow->addWidget(Text_Max);
    commands->addLayout(pcRow);
    for (QWidget* w :
         std::initializer_list<QWidget*>{Command1, Command2, Command5, Command6, Command7, Command8, Command9})
        commands->addWidget(w);
    commands->addWidget(Image1, 0, Qt::AlignHCenter);
    commands->addStretch();
    grid->addLayout(commands, 1, 1);
    auto* options = new QVBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{Check_Autowert, Check_DefaultBlank, Check_Default0, Check_NoData,
                                                      Check_Message, Check_MehrereZeilen, Check_Pruefen})
        options->addWidget(w);
    // The key fields of the running table: a working list that takes the room left.
    List3->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    List3->setMinimumHeight(TextRoom(List3, 0, 3).height());
    options->addWidget(List3, 1);
    grid->addLayout(options, 1, 2);
    WrapLongLines(List1);
    List1->setMinimumHeight(TextRoom(List1, 0, 6).height());
    grid->addWidget(List1, 2, 0, 1, 3);
    grid->addWidget(Label1, 3, 0, 1, 3);
    grid->setRowStretch(1, 3);
    grid->setRowStretch(2, 2);
    grid->setColumnStretch(0, 1);

    connect(QELPfad, &QLineEdit::textChanged, this, GuardedHandler(this, &Konvertierung::QELPfad_Change));
    connect(Command3, &QPushButton::clicked, this, GuardedHandler(this, &Konvertierung::Command3_Click));
    connect(Command4, &QPushButton::clicked, this, GuardedHandler(this, &Konvertierung::c4c));
    connect(Command2, &QPushButton::clicked, this, GuardedHandler(this, &Konvertierung::c2c));
    connect(Command5, &QPushButton::clicked, this, GuardedHandler(this, &Konvertierung::Command5_Click));
    connect(Command6, &QPushButton::clicked, this, GuardedHandler(this, &Konvertierung::Command6_Click));
    connect(Command7, &QPushButton::clicked, this, GuardedHandler(this, &Konvertierung::Command7_Click));
    connect(Command8, &QPushButton::clicked, this, GuardedHandler(this, &Konvertierung::Command8_Click));
    connect(Command9, &QPushButton::clicked, this, GuardedHandler(this, &Konvertierung::Command9_Click));
    connect(Image1, &ClickableLabel::clicked, this, GuardedHandler(this, &Konvertierung::Image1_Click));
    // Only the user's clicks run the click rule: marks set by the program stand.
    if (QMdiArea* area = m_session->mdiArea())
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
            if (sub && sub->widget() == this && !m_comingToFront)
                Form_Activate();
        });
}

QSize Konvertierung::sizeHint() const
{
    return QWidget::sizeHint().expandedTo(TextRoom(this, 0, 42));
}

void Konvertierung::Form_Load()
{
    // Nothing is loaded yet: only choosing and loading a database make sense.
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command5, Command6, Command7})
        w->setEnabled(false);
    if (!m_session->module1().MdbPath.isEmpty())
        QELPfad->setText(m_session->module1().MdbPath);
    setMarkingAllowed(false);
}

void Konvertierung::comeToFront()
{
    // The window puts itself in front while it works; that is no activation by
    // the user and must not clear the identity-column option halfway through a batch.
    m_comingToFront = true;
    bringToFront(this);
    m_comingToFront = false;
}

void Konvertierung::Form_Activate()
{
    if (!m_session->dataSourceName().contains(QLatin1String("QEL"), Qt::CaseInsensitive))
        Check_Autowert->setChecked(false);
}

void Konvertierung::setMarkingAllowed(bool allowed)
{
    m_command9Color = allowed ? kAllowed : kNotAllowed;
    Command9->setText(allowed ? QStringLiteral("Markieren erlaubt") : QStringLiteral("Markieren nicht erlaubt"));
    Command9->setStyleSheet(allowed ? QStringLiteral("background-color: #00ff00;")
                                    : QStringLiteral("background-color: #ff0000;"));
}

void Konvertierung::EnableCommands(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Command5, Command6,
                                                      Command7, Text_Max, Text_Mod})
        w->setEnabled(enabled);
}

void Konvertierung::DialectChanged()
{
    Check_MehrereZeilen->setEnabled(DialectRecord(m_session->currentDialect()).sharedInserts);
}

void Konvertierung::QELPfad_Change()
{
    // The running operation holds items of the table list; the path's change
    // rule waits for its end.
    if (operationRunning()) {
        m_pathChangeHeld = true;
        return;
    }
    EnableCommands(false);
    Command3->setEnabled(true);
    Command4->setEnabled(true);
    List2->clear();
}

void Konvertierung::Command3_Click()
{
    // Newer Access versions save .accdb files, which are read alike.
    BrowseIntoBox(this, QELPfad, QStringLiteral("Access (*.mdb *.MDB *.accdb *.ACCDB);;Alle Dateien (*)"));
}

void Konvertierung::Command8_Click()
{
    m_session->errorLog().showInFront();
}

void Konvertierung::Command9_Click()
{
    setMarkingAllowed(m_command9Color == kNotAllowed);
}

void Konvertierung::Image1_Click()
{
    AbortRequested = true;
    TableFailed = true;
    m_stopReason = QStringLiteral("vom Benutzer angehalten");
}

void Konvertierung::toggleByUser(QListWidgetItem* item)
{
    if (!item)
        return;
    item->setSelected(!item->isSelected());
    RunGuarded(this, [this, item] { List2_Click(item); });
}

bool Konvertierung::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == List2 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space) {
            toggleByUser(List2->currentItem());
            return true;
        }
        if (key->matches(QKeySequence::SelectAll))
            return true;
    }
    if (watched == List2->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return true;
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                if (QListWidgetItem* item = List2->itemAt(mouse->position().toPoint())) {
                    List2->setCurrentItem(item, QItemSelectionModel::NoUpdate);
                    toggleByUser(item);
                }
            }
            return true;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Konvertierung::List2_Click(QListWidgetItem* item)
{
    if (!item)
        return;
    if (m_command9Color == kNotAllowed) {
        // Marks can always be removed, but added only with the switch open.
        item->setSelected(false);
        if (!m_session->module1().NoErrorMode && !m_session->module1().AutoMode)
            ShowMessage(this, QStringLiteral("Funktion ist nicht freigeschalten"));
        return;
    }
    const QString text = item->text();
    if (text.contains(QLatin1Char('[')) && !text.contains(QLatin1String("[0]")))
        ShowMessage(this, QStringLiteral("ACHTUNG   ACHTUNG\r\ndiese Tabelle enhält Sätze"));
}

void Konvertierung::closeEvent(QCloseEvent* event)
{
    if (Busy) {
        // A running conversion stops after its current row instead.
        AbortRequested = true;
        if (m_stopReason.isEmpty())
            m_stopReason = QStringLiteral("das Fenster wurde geschlossen");
        event->ignore();
        return;
    }
    // Any other operation ends at its next yield; the window closes after it.
    if (holdClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void Konvertierung::operationEnded()
{
    if (m_pathChangeHeld) {
        m_pathChangeHeld = false;
        QELPfad_Change();
    }
}

// ---------------------------------------------------------------------------
// The operations: the window is their host; it reads its controls and shows.

LoadOutcome Konvertierung::c4c()
{
    OperationScope operation(this);
    m_lastLoad = LoadDatabase(*this);
    return m_lastLoad;
}

RunReport Konvertierung::startReport(const QString& action) const
{
    RunReport report;
    report.action = action;
    report.started = QDateTime::currentDateTime();
    report.accessFile = SourceDatabase ? SourceDatabase->Name() : QELPfad->text();
    report.dataChecked = Check_Pruefen->isChecked();
    return report;
}

void Konvertierung::writeReport(RunReport& report)
{
    if (m_session->module1().AutoMode)
        return;
    report.ended = QDateTime::currentDateTime();
    m_session->WriteReport(report);
}

TableOutcome Konvertierung::Command1_SIK()
{
    OperationScope operation(this);
    RunReport report = startReport(QStringLiteral("Tabelle nach SQL konvertieren"));
    TableOutcome outcome = ConvertTable(*this, Text1->text());
    report.tables = {outcome};
    writeReport(report);
    return outcome;
}

BatchOutcome Konvertierung::c2c()
{
    OperationScope operation(this);
    RunReport report = startReport(QStringLiteral("Markierte Tabellen konvertieren"));
    BatchOutcome outcome = RunBatch(*this);
    report.tables = outcome.tables;
    report.outcome = outcome.outcome;
    writeReport(report);
    return outcome;
}

ViewsOutcome Konvertierung::Command5_Click()
{
    OperationScope operation(this);
    RunReport report = startReport(QStringLiteral("Abfragen -> Sichten"));
    ViewsOutcome outcome = RunQueriesToViews(*this);
    report.views = outcome;
    report.outcome = outcome.outcome;
    writeReport(report);
    return outcome;
}

TriggersOutcome Konvertierung::Command6_Click()
{
    OperationScope operation(this);
    RunReport report = startReport(QStringLiteral("Beziehungen -> Trigger"));
    TriggersOutcome outcome = RunRelationsToTriggers(*this);
    report.triggers = outcome;
    report.outcome = outcome.outcome;
    writeReport(report);
    return outcome;
}

TakeoverOutcome Konvertierung::Command7_Click()
{
    OperationScope operation(this);
    RunReport report = startReport(QStringLiteral("Komplette Übernahme"));
    TakeoverOutcome outcome = RunTakeover(*this);
    // Nothing ran when a question was answered to stop.
    if (!outcome.confirmed)
        return outcome;
    report.tables = outcome.batch.tables;
    if (outcome.batch.outcome == RunOutcome::Completed)
        report.views = outcome.views;
    if (outcome.batch.outcome == RunOutcome::Completed && outcome.views.outcome == RunOutcome::Completed)
        report.triggers = outcome.triggers;
    report.outcome = outcome.outcome;
    writeReport(report);
    return outcome;
}
