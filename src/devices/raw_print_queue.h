#pragma once

#include <QByteArray>
#include <QString>

// A printer queue that takes the bytes of a job as they are, for a printer
// that understands them itself (a thermal roll printer's commands).
class RawPrintQueue {
public:
    virtual ~RawPrintQueue() = default;
    // Hands the bytes to the queue without waiting for the paper. Throws
    // PrintError when the queue cannot take them, and when it took them but
    // its printer is paused, so that the job waits.
    virtual void send(const QByteArray& data, const QString& title) = 0;
};

// A queue of the system's printing service, by name; an empty name is the
// default printer. The bytes go straight from memory to the service.
class CupsRawQueue : public RawPrintQueue {
public:
    explicit CupsRawQueue(const QString& queue) : queue_(queue) {}
    void send(const QByteArray& data, const QString& title) override;
    const QString& queue() const { return queue_; }

private:
    QString queue_;
};
