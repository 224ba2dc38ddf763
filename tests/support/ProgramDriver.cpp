#include "ProgramDriver.h"

#include "MessageBoxAnswerer.h"
#include "RecordingConnection.h"
#include "TestSupport.h"
#include "conversion/TableList.h"
#include "windows/FehlerProtokoll.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

namespace {
// Controls are found as a user finds them: by their names.
template <typename T>
T* control(QWidget* window, const char* name)
{
    T* w = window->findChild<T*>(QString::fromLatin1(name));
    if (!w)
        ADD_FAILURE() << "no control " << name << " in " << window->objectName().toStdString();
    return w;
}
}  // namespace

QStringList itemTexts(const QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result.append(list->item(i)->text());
    return result;
}

long copiedRows(const QString& status)
{
    if (!status.contains(QLatin1Char('%')))
        return 0;
    const qsizetype slash = status.indexOf(QLatin1Char('/'));
    const qsizetype start = status.lastIndexOf(QLatin1Char(' '), slash) + 1;
    return status.mid(start, slash - start).toLong();
}

Program::Program(Login login, DialectButton dialect, const QString& dataSource)
    : main(std::make_unique<MDIForm_Main>())
    , dataSource(dataSource)
{
    main->Form_Load();
    main->show();
    (main.get()->*dialect)->click();
    logIn(login);
}

Program::Program(const QString& commandLine, const QString& programFolder,
                 const std::function<void(MDIForm_Main&)>& prepare)
    : main(std::make_unique<MDIForm_Main>(commandLine))
{
    if (!programFolder.isEmpty())
        main->programFolder = programFolder;
    if (prepare)
        prepare(*main);
    MessageBoxAnswerer answers;
    main->Form_Load();
    // The unattended run starts from the event loop.
    QDeadlineTimer deadline(std::chrono::minutes(5));
    while (main->automaticRunPending() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(main->automaticRunPending()) << "the unattended run did not end";
    startMessages = answers.texts();
    konv = main->konvertierung();
    xdb = main->abgleichen();
}

void Program::logIn(Login login, bool tablesOnServer)
{
    main->show();
    if (login == Login::TestServer) {
        const QString name = dataSource.isEmpty() ? TestServer::dataSource() : dataSource;
        if (main->ODBC_Name->text() != name)
            main->ODBC_Name->setText(name);
        auto* password = control<QLineEdit>(main.get(), "Text_PW");
        if (password->text() != TestServer::password()) {
            password->clear();
            password->setFocus();
            QTest::keyClicks(password, TestServer::password());
        }
        MessageBoxAnswerer answers;
        control<QPushButton>(main.get(), "Command3")->click();
        EXPECT_TRUE(answers.seen.isEmpty()) << answers.texts().join(QLatin1Char('|')).toStdString();
    } else {
        auto recording = std::make_unique<RecordingConnection>();
        server = recording.get();
        main->state.ServerConnection = std::move(recording);
        recording = std::make_unique<RecordingConnection>();
        counts = recording.get();
        if (tablesOnServer)
            counts->answerWhenStartsWith(QStringLiteral("SELECT COUNT(*)"), 7);
        else
            counts->failWhenStartsWith(QStringLiteral("SELECT COUNT(*)"), QStringLiteral("S0002:no such table"));
        main->state.QueryConnection = std::move(recording);
        main->Command1->setEnabled(true);
        main->Command2->setEnabled(true);
    }
    openConversion();
    if (login == Login::Recording && konv) {
        konv->clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); };
        // A recording connection has no figures to check the data against.
        konv->Check_Pruefen->setChecked(false);
    }
}

void Program::openConversion()
{
    control<QPushButton>(main.get(), "Command1")->click();
    konv = main->konvertierung();
}

Abgleichen* Program::openXdb()
{
    control<QPushButton>(main.get(), "Command2")->click();
    xdb = main->abgleichen();
    EXPECT_NE(xdb, nullptr);
    return xdb;
}

QStringList Program::load(const QString& path)
{
    MessageBoxAnswerer answers;
    control<QLineEdit>(konv, "QELPfad")->setText(path);
    control<QPushButton>(konv, "Command4")->click();
    return answers.texts();
}

QStringList Program::convertMarked()
{
    MessageBoxAnswerer answers;
    control<QPushButton>(konv, "Command2")->click();
    return answers.texts();
}

QStringList Program::queriesToViews()
{
    MessageBoxAnswerer answers;
    control<QPushButton>(konv, "Command5")->click();
    return answers.texts();
}

QStringList Program::relationsToTriggers()
{
    MessageBoxAnswerer answers;
    control<QPushButton>(konv, "Command6")->click();
    return answers.texts();
}

QStringList Program::process(const QString& document)
{
    MessageBoxAnswerer answers;
    control<QLineEdit>(xdb, "Text_XDB")->setText(document);
    control<QPushButton>(xdb, "Command8")->click();
    return answers.texts();
}

void Program::markOnly(const QStringList& tables)
{
    MessageBoxAnswerer answers;  // the warning for tables with rows
    if (konv->Command9BackColor() == 255)
        konv->Command9->click();
    for (int i = 0; i < konv->List2->count(); ++i) {
        QListWidgetItem* item = konv->List2->item(i);
        const bool wanted = tables.contains(TableNameFromEntry(item->text()));
        if (item->isSelected() != wanted) {
            konv->List2->scrollToItem(item);
            const QRect r = konv->List2->visualItemRect(item);
            QTest::mouseClick(konv->List2->viewport(), Qt::LeftButton, {}, r.center());
        }
    }
    konv->Command9->click();
}

QStringList Program::convert(const QString& table)
{
    for (int i = 0; i < konv->List2->count(); ++i)
        konv->List2->item(i)->setSelected(TableNameFromEntry(konv->List2->item(i)->text()) == table);
    return convertMarked();
}

QStringList Program::entries() const
{
    return itemTexts(konv->List2);
}

QStringList Program::marked() const
{
    QStringList result;
    for (int i = 0; i < konv->List2->count(); ++i)
        if (konv->List2->item(i)->isSelected())
            result.append(konv->List2->item(i)->text());
    return result;
}

bool Program::isMarked(const QString& table) const
{
    return marked().contains(entryOf(table));
}

QString Program::entryOf(const QString& table) const
{
    for (const QString& e : entries())
        if (TableNameFromEntry(e) == table)
            return e;
    return QString();
}

QStringList Program::information() const
{
    return itemTexts(konv->List1);
}

QStringList Program::log() const
{
    return main->fehlerProtokoll()->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

bool Program::commandsEnabled() const
{
    for (QWidget* w :
         std::initializer_list<QWidget*>{konv->Command1, konv->Command2, konv->Command3, konv->Command4, konv->Command5,
                                         konv->Command6, konv->Command7, konv->Text_Max, konv->Text_Mod})
        if (!w->isEnabled())
            return false;
    return true;
}
