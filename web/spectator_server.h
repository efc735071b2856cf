#pragma once
#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <cstdint>
#include <memory>

#include "web/connection_guard.h"
#include "web/race_snapshot_slot.h"

namespace palomind {

// The spectators' web server: "/" is the page, "/race.json" the race as the
// window shows it, both read-only. It lives on the server's thread and reads
// the race only through the snapshot slot.
class SpectatorServer final : public QAbstractHttpServer {
    Q_OBJECT
  public:
    SpectatorServer(const RaceSnapshotSlot& race, ConnectionLimits limits,
                    QObject* parent = nullptr);

    // Listens at every address, at one port (port 0: one free at all of
    // them); on failure at any, listens at none and gives the reason, and
    // whether another program holds the port.
    bool Listen(const QList<QHostAddress>& addresses, quint16 port, QString& error,
                bool& portInUse);
    quint16 Port() const;

  protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

  private:
    // The race's JSON, made again only when a newer snapshot has come.
    void RefreshJson();

    const RaceSnapshotSlot& race_;
    std::shared_ptr<ConnectionBook> connections_;
    quint16 port_ = 0;
    std::uint64_t jsonSequence_ = 0;
    QByteArray json_;
    QByteArray jsonTag_;
};

}  // namespace palomind
