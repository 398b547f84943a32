#pragma once

#include <QDialog>

class QPlainTextEdit;

// Shows what the encoder said while converting one row, to read and copy.
class RowLogDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RowLogDialog(QWidget *parent = nullptr);
    void showLog(const QString &fileName, const QString &log);

private:
    QPlainTextEdit *m_text;
};
