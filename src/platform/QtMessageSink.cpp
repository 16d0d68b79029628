#include "platform/QtMessageSink.h"

#include <QMessageBox>
#include <QString>

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

CQtMessageSink::CQtMessageSink(QWidget* parentWidget) : parent(parentWidget) {}

void CQtMessageSink::SetParent(QWidget* parentWidget)
{
    parent = parentWidget;
}

void CQtMessageSink::Show(const std::string& text, MessageIcon icon)
{
    QMessageBox box(ToQtIcon(icon), QStringLiteral("Torvex"), QString::fromStdString(text),
                    QMessageBox::Ok, parent.data());
    box.setObjectName(QStringLiteral("messageBox"));
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}
