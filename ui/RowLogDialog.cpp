#include "ui/RowLogDialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

RowLogDialog::RowLogDialog(QWidget *parent) : QDialog(parent), m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("dlgRowLog"));
    m_text->setObjectName(QStringLiteral("txtLog"));
    m_text->setAccessibleName(QStringLiteral("Conversion log"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *copy = buttons->addButton(QStringLiteral("Copy"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("cmdCopyLog"));
    copy->setAccessibleName(QStringLiteral("Copy the log"));
    connect(copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(m_text->toPlainText()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    resize(720, 420);
}

void RowLogDialog::showLog(const QString &fileName, const QString &log)
{
    setWindowTitle(QStringLiteral("Log of %1").arg(fileName));
    m_text->setPlainText(log.isEmpty() ? QStringLiteral("This file has not been converted yet.")
                                       : log);
    show();
    raise();
    activateWindow();
}
