#include "MessageBoxAlertPresenter.h"

#include "api/Localization.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace flk {

QWidget *MessageBoxAlertPresenter::topMostWindow()
{
    if (QWidget *w = QApplication::activeWindow())
        return w;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->isWindow() && !qobject_cast<QMessageBox *>(w))
            return w;
    }
    return nullptr;
}

void MessageBoxAlertPresenter::present(const AlertRequest &request, std::function<void(int)> done)
{
    QWidget *parent
        = request.parentWindow ? static_cast<QWidget *>(request.parentWindow) : topMostWindow();
    auto *box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    const QString heading = request.server.isEmpty()
        ? request.title
        : stringWithKSTFormat(localized("ALERT_ABOUT_SERVER"), { request.title, request.server });
    box->setWindowTitle(heading);
    box->setText(heading);
    box->setInformativeText(request.message);
    box->setIcon(request.style == AlertRequest::Informational ? QMessageBox::Information
            : request.style == AlertRequest::Critical         ? QMessageBox::Critical
                                                              : QMessageBox::Warning);
    QList<QAbstractButton *> buttons;
    for (int i = 0; i < request.buttons.size(); ++i) {
        auto role = i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
        buttons << box->addButton(request.buttons[i], role);
    }
    if (!buttons.isEmpty())
        box->setDefaultButton(static_cast<QPushButton *>(buttons.first()));
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, buttons, done](int) {
        const int index = int(buttons.indexOf(box->clickedButton()));
        if (done)
            done(index);
    });
    box->open();
}

} // namespace flk
