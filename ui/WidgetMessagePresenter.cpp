#include "ui/WidgetMessagePresenter.h"

#include <QMessageBox>

void WidgetMessagePresenter::present(const QString &title, const QString &text, MessageIcon icon)
{
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::Critical:
        shown = QMessageBox::Critical;
        break;
    case MessageIcon::Exclamation:
        shown = QMessageBox::Warning;
        break;
    case MessageIcon::Information:
        shown = QMessageBox::Information;
        break;
    case MessageIcon::None:
        break;
    }
    QMessageBox box(shown, title, text, QMessageBox::Ok, m_owner);
    box.exec();
}
