#include "ui/WidgetDialogService.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

QStringList WidgetDialogService::openFiles(const QString &title, const QVector<FileFilter> &filters,
                                           bool multiSelect)
{
    QStringList nameFilters;
    for (const FileFilter &filter : filters)
        nameFilters << filter.name + QStringLiteral(" (") + filter.patterns.join(QLatin1Char(' ')) +
                           QLatin1Char(')');
    QFileDialog dialog(m_owner, title);
    dialog.setFileMode(multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters);
    dialog.setOption(QFileDialog::ReadOnly, false);
    // The filter names already show their patterns; the dialog shows only the names.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (!nameFilters.isEmpty())
        dialog.selectNameFilter(nameFilters.first());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString WidgetDialogService::chooseFolder(const QString &title, bool newStyle)
{
    QFileDialog::Options options = QFileDialog::ShowDirsOnly;
    if (!newStyle)
        options |= QFileDialog::DontUseNativeDialog;
    return QFileDialog::getExistingDirectory(m_owner, title, QString(), options);
}

std::optional<QString> WidgetDialogService::askText(const QString &title, const QString &prompt)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_owner, title, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

bool WidgetDialogService::ask(const QString &title, const QString &question)
{
    return QMessageBox::question(m_owner, title, question) == QMessageBox::Yes;
}
