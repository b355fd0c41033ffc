#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

class TillLink;

// Sends the sales a till on a shop's server kept in its outbox while the
// server was away, from a thread of its own with its own connections: the
// counter never waits for it. Every two seconds, and at once when woken,
// while the outbox holds a sale or the server is known away, it reaches the
// server, records the oldest sale there under its id (a sale the server
// already received is not recorded again) and only then removes it from
// the outbox. Reaching the server tells the program's actions that it
// answers again. With no sale waiting and the server answering, it brings the
// till's copy of the catalogue and the users up to date: at its start, then
// at most once a minute.
class EnvioVentas : public QObject {
    Q_OBJECT
public:
    explicit EnvioVentas(const QString& folder, QObject* parent = nullptr);
    // Stops after the sale being sent, if any.
    ~EnvioVentas() override;

    // A sale was just kept: try the server now.
    void despertar();

signals:
    // After each round: why the server refused the oldest sale waiting
    // (empty when it did not).
    void estado(const QString& recusa);

private:
    void executar();
    void rodada(TillLink& enlace);
    void enviarAguardando(TillLink& enlace, qint64 aguardando);
    void actualizarCopia(TillLink& enlace);

    QString folder_;
    std::mutex mutex_;
    std::condition_variable acordar_;
    bool parar_ = false;
    bool acordado_ = false;
    QElapsedTimer ultimaCopia_;   // the sender's thread's own
    std::thread thread_;
};
