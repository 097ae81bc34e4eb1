// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonObject>
#include <QNetworkRequest>

class QNetworkReply;

namespace flk {

// The body is not a JSON object of an accepted content type.
inline constexpr int kCannotDecodeContent = -1016;

// Applies what every NAS request needs: any certificate accepted (units ship
// self-signed ones), the transport's cookie store kept out, JSON accepted.
void configureRequest(QNetworkRequest &request, int transferTimeoutMs);
// Lets a reply go on past certificate errors.
void ignoreCertificateErrors(QNetworkReply *reply);
// Decodes a finished reply. Returns 0 and fills body when the HTTP status is
// acceptable and the body is a JSON object of an accepted content type;
// otherwise returns the transport error code (kTransportCancelled when
// cancelled is set, kTransportTimedOut, kTransportConnectionLost, ...).
int decodeReply(QNetworkReply *reply, bool cancelled, QJsonObject *body);
// The same in two steps, so that a big body can be parsed off the GUI thread:
// checkReply reads the body out (0 or a transport error code), parseBody
// turns it into the object (0 or kCannotDecodeContent).
int checkReply(QNetworkReply *reply, bool cancelled, QByteArray *raw);
int parseBody(const QByteArray &raw, QJsonObject *body);

} // namespace flk
