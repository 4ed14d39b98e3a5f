#pragma once

#include <QHash>
#include <QList>
#include <QSettings>
#include <QString>

#include <memory>

class CPrompt;
class QSslCertificate;
class QSslError;

// The server certificates the user has said yes to, one SHA-256 fingerprint
// per "host:port". A server whose certificate no authority of the system
// vouches for (a self-signed one, typically) is asked about once; after
// that the same certificate goes through without a word, and a different
// one is refused until the user removes the trust.
class CTlsTrust
{
public:
    // Without settings the trust lasts as long as this object.
    explicit CTlsTrust(std::unique_ptr<QSettings> settings = nullptr);
    ~CTlsTrust();

    // "AB:CD:..." as openssl prints it, upper case.
    static QString Fingerprint(const QSslCertificate &certificate);

    QString Trusted(const QString &hostPort) const;
    void Trust(const QString &hostPort, const QString &fingerprint);
    void Forget(const QString &hostPort);

    // Whether to go on with a connection whose certificate the system did
    // not verify; asks the user through prompt when the server is new.
    bool Accept(const QString &hostPort, const QSslCertificate &certificate, const QList<QSslError> &errors,
                CPrompt &prompt);

private:
    QString key(const QString &hostPort) const;

    std::unique_ptr<QSettings> m_settings;
    QHash<QString, QString> m_memory;
};
