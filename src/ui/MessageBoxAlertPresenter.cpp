// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "MessageBoxAlertPresenter.h"

#include "api/Localization.h"

#include "models/DisplayText.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace flk {

QString MessageBoxAlertPresenter::capLongRuns(const QString &text)
{
    constexpr qsizetype kMaxRun = 160, kMaxText = 4 * kMaxDisplayChars;
    QString out;
    out.reserve(std::min(text.size(), kMaxText + 1));
    qsizetype i = 0;
    while (i < text.size() && out.size() < kMaxText) {
        qsizetype j = i;
        while (j < text.size() && !text.at(j).isSpace())
            ++j;
        if (j - i > kMaxRun) {
            // The start and the end of a long name say most about it.
            qsizetype head = kMaxRun / 2, tail = kMaxRun / 2 - 1;
            if (text.at(i + head - 1).isHighSurrogate())
                --head;
            if (text.at(j - tail).isLowSurrogate())
                --tail;
            out += QStringView(text).mid(i, head);
            out += QChar(0x2026);
            out += QStringView(text).mid(j - tail, tail);
        } else {
            out += QStringView(text).mid(i, j - i);
        }
        i = j;
        while (i < text.size() && text.at(i).isSpace() && out.size() < kMaxText)
            out += text.at(i++);
    }
    if (i < text.size())
        out += QChar(0x2026);
    return out;
}

QString MessageBoxAlertPresenter::wrapLines(const QString &text, int width)
{
    // The box does not always wrap its label: lines are broken here, at
    // blanks, so a sentence reads on one or two lines of about this width.
    QString out;
    out.reserve(text.size() + text.size() / width + 1);
    qsizetype lineStart = 0, lastBlank = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        out += c;
        if (c == QLatin1Char('\n')) {
            lineStart = out.size();
            lastBlank = -1;
            continue;
        }
        if (c == QLatin1Char(' '))
            lastBlank = out.size() - 1;
        if (out.size() - lineStart > width && lastBlank > lineStart) {
            out[lastBlank] = QLatin1Char('\n');
            lineStart = lastBlank + 1;
            lastBlank = -1;
        }
    }
    return out;
}

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
    // The heading is the window's title; the message is the text, plain
    // (it carries the NAS's texts), with very long runs shortened so the box
    // lays out at once and stays readable.
    box->setWindowTitle(isolateBidi(heading));
    box->setTextFormat(Qt::PlainText);
    box->setText(wrapLines(isolateBidi(capLongRuns(request.message))));
    if (!request.detail.isEmpty())
        box->setInformativeText(isolateBidi(capLongRuns(request.detail)));
    // Wide enough for a sentence on one or two lines.
    box->setIcon(request.style == AlertRequest::Informational ? QMessageBox::Information
            : request.style == AlertRequest::Critical         ? QMessageBox::Critical
                                                              : QMessageBox::Warning);
    QList<QAbstractButton *> buttons;
    for (int i = 0; i < request.buttons.size(); ++i) {
        auto role = i == 0
            ? (request.destructive ? QMessageBox::DestructiveRole : QMessageBox::AcceptRole)
            : QMessageBox::RejectRole;
        buttons << box->addButton(request.buttons[i], role);
    }
    if (!buttons.isEmpty())
        box->setDefaultButton(static_cast<QPushButton *>(
            request.destructive && buttons.size() > 1 ? buttons.last() : buttons.first()));
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, buttons, done](int) {
        const int index = int(buttons.indexOf(box->clickedButton()));
        if (done)
            done(index);
    });
    box->open();
}

} // namespace flk
