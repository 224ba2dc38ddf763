#include "ui/BrowseFile.h"

#include <QFileDialog>
#include <QLineEdit>

void BrowseIntoBox(QWidget* parent, QLineEdit* box, const QString& filter)
{
    try {
        const QString current = box->text();
        QFileDialog dialog(parent, QString(), current, filter);
        dialog.setObjectName(QStringLiteral("CommonDialog"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (!current.isEmpty())
            dialog.selectFile(current);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            box->setText(dialog.selectedFiles().constFirst());
    } catch (...) {
        // A failing dialog leaves everything as it was.
    }
}

QString AskSavePath(QWidget* parent, const QString& suggested, const QString& filter)
{
    try {
        QFileDialog dialog(parent, QString(), suggested, filter);
        dialog.setObjectName(QStringLiteral("CommonDialog"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.selectFile(suggested);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            return dialog.selectedFiles().constFirst();
    } catch (...) {
        // A failing dialog saves nothing.
    }
    return {};
}
