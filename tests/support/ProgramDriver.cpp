#include "ProgramDriver.h"

#include "MessageBoxAnswerer.h"
#include "RecordingConnection.h"
#include "TestSupport.h"
#include "conversion/TableList.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
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

RecordedLogin LogInOnRecordingConnections(MDIForm_Main& main, bool tablesOnServer)
{
    RecordedLogin login;
    auto server = std::make_unique<RecordingConnection>();
    login.server = server.get();
    main.state.ServerConnection = std::move(server);
    auto counts = std::make_unique<RecordingConnection>();
    login.counts = counts.get();
    if (tablesOnServer)
        counts->answerWhenStartsWith(QStringLiteral("SELECT COUNT(*)"), 7);
    else
        counts->failWhenStartsWith(QStringLiteral("SELECT COUNT(*)"), QStringLiteral("S0002:no such table"));
    main.state.QueryConnection = std::move(counts);
    main.Command1->setEnabled(true);
    main.Command2->setEnabled(true);
    main.Command1->click();
    login.konv = main.konvertierung();
    return login;
}

LoggedIn::LoggedIn(bool mysql)
{
    main = std::make_unique<MDIForm_Main>();
    main->Form_Load();
    main->show();
    if (mysql)
        control<QRadioButton>(main.get(), "Option_MySQL")->click();
    auto* password = control<QLineEdit>(main.get(), "Text_PW");
    password->setFocus();
    QTest::keyClicks(password, TestServer::password());
    MessageBoxAnswerer answers;
    control<QPushButton>(main.get(), "Command3")->click();
    EXPECT_TRUE(answers.seen.isEmpty()) << answers.texts().join(QLatin1Char('|')).toStdString();
    control<QPushButton>(main.get(), "Command1")->click();
    konv = main->findChild<Konvertierung*>(QStringLiteral("Konvertierung"));
}

QStringList LoggedIn::load(const QString& path)
{
    MessageBoxAnswerer answers;
    control<QLineEdit>(konv, "QELPfad")->setText(path);
    control<QPushButton>(konv, "Command4")->click();
    return answers.texts();
}

QStringList LoggedIn::convertMarked()
{
    MessageBoxAnswerer answers;
    control<QPushButton>(konv, "Command2")->click();
    return answers.texts();
}

void LoggedIn::markOnly(const QStringList& tables)
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

QStringList LoggedIn::entries() const
{
    QStringList result;
    for (int i = 0; i < konv->List2->count(); ++i)
        result.append(konv->List2->item(i)->text());
    return result;
}

QStringList LoggedIn::marked() const
{
    QStringList result;
    for (int i = 0; i < konv->List2->count(); ++i)
        if (konv->List2->item(i)->isSelected())
            result.append(konv->List2->item(i)->text());
    return result;
}

QStringList LoggedIn::information() const
{
    QStringList result;
    for (int i = 0; i < konv->List1->count(); ++i)
        result.append(konv->List1->item(i)->text());
    return result;
}

QString LoggedIn::entryOf(const QString& table) const
{
    for (const QString& e : entries())
        if (TableNameFromEntry(e) == table)
            return e;
    return QString();
}
