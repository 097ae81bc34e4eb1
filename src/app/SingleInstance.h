#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace flk {

// One running Ferrylink per user and defaults file. A later launch hands its
// arguments (torrent files, magnet links) to the running one over a local
// socket and ends; the running one hears them as received().
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The socket's name: from the user and the defaults file in use, so a
    // demo profile and the real one are separate instances.
    static QString serverName(const QString &defaultsPath);

    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Hands items to a running instance; true when one took them.
    bool sendToRunning(const QStringList &items, int timeoutMs = 2000) const;
    // Becomes the running instance (a socket left by a crashed run is
    // replaced). False when that fails.
    bool listen();
    QString name() const { return m_name; }

    // What a launch hands over, made independent of its working directory:
    // local paths absolute, file URLs as paths, links as they are.
    static QStringList normalizedArguments(const QStringList &args, const QString &workingDir);

signals:
    void received(const QStringList &items);

private:
    void onConnection();
    QString m_name;
    QLocalServer *m_server = nullptr;
};

} // namespace flk
