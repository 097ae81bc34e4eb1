// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QPointer>

#include "ui/DCBaseViewController.h"

#include <QJsonObject>

class QComboBox;
class QLineEdit;

namespace flk {

// The feed sheet ("ToRSSFeedAddView"): a feed's URL and how often the NAS
// checks it. Edit mode when given a feed (its id above 0), else add mode.
// The result: {"id" (edit mode only), "url", "update_interval"}.
class RSSFeedAddViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    // feed: the record to edit, or empty to add one.
    explicit RSSFeedAddViewController(const QJsonObject &feed = {}, QWidget *parent = nullptr);

    qint64 RSSFeedID() const { return m_id; }
    QString RSSFeedURL() const { return m_url; }
    uint RSSFeedUpdateInterval() const;
    QString RSSFeedUpdateIntervalString() const { return m_intervalText; }
    void setRSSFeedURL(const QString &url);
    void setRSSFeedUpdateInterval(uint index);
    void setRSSFeedUpdateIntervalString(const QString &text);

    QLineEdit *editUrl() const { return m_editUrl; }
    QComboBox *cmbUpdateInterval() const { return m_cmb; }

    // Shows the sheet over presenter; OK hands the result to submit (the
    // sheet stays open with its input when the NAS refuses it).
    static RSSFeedAddViewController *present(QWidget *presenter, const QJsonObject &feed,
        std::function<void(const QVariantMap &, std::function<void(bool)>)> submit);
    // The same, submitting to a controller's sheet handler while it lives.
    template <class Controller>
    static RSSFeedAddViewController *present(QWidget *presenter, const QJsonObject &feed,
        Controller *controller,
        void (Controller::*handler)(const QVariantMap &, std::function<void(bool)>))
    {
        QPointer<Controller> alive(controller);
        return present(presenter, feed,
            [alive, handler](const QVariantMap &result, std::function<void(bool)> done) {
                if (alive)
                    (alive.data()->*handler)(result, std::move(done));
                else
                    done(false);
            });
    }

private:
    void rebuildResult();

    qint64 m_id = 0;
    QString m_url;
    QString m_intervalText, m_loadedIntervalText;
    bool m_intervalRead = true;
    QLineEdit *m_editUrl;
    QComboBox *m_cmb;
};

} // namespace flk
