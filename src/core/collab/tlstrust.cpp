#include "tlstrust.h"

#include "model/prompt.h"

#include <QCryptographicHash>
#include <QSettings>
#include <QSslCertificate>
#include <QSslError>

namespace {

const QString kGroup = QStringLiteral("Collaboration/TrustedCertificates/");

} // namespace

CTlsTrust::CTlsTrust(std::unique_ptr<QSettings> settings) : m_settings(std::move(settings)) {}

CTlsTrust::~CTlsTrust() = default;

QString CTlsTrust::Fingerprint(const QSslCertificate &certificate)
{
    return QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
}

QString CTlsTrust::key(const QString &hostPort) const
{
    // "/" and "\" would be taken for groups; a host name has neither, but
    // what the user typed is not checked
    QString k = hostPort.toLower();
    k.replace(u'/', u'_').replace(u'\\', u'_');
    return kGroup + k;
}

QString CTlsTrust::Trusted(const QString &hostPort) const
{
    if (m_settings)
        return m_settings->value(key(hostPort)).toString();
    return m_memory.value(key(hostPort));
}

void CTlsTrust::Trust(const QString &hostPort, const QString &fingerprint)
{
    if (m_settings) {
        m_settings->setValue(key(hostPort), fingerprint);
        m_settings->sync();
    } else {
        m_memory.insert(key(hostPort), fingerprint);
    }
}

void CTlsTrust::Forget(const QString &hostPort)
{
    if (m_settings) {
        m_settings->remove(key(hostPort));
        m_settings->sync();
    } else {
        m_memory.remove(key(hostPort));
    }
}

bool CTlsTrust::Accept(const QString &hostPort, const QSslCertificate &certificate, const QList<QSslError> &errors,
                       CPrompt &prompt)
{
    if (certificate.isNull()) {
        prompt.Message(QStringLiteral("The server %1 sent no certificate. The connection is refused.").arg(hostPort),
                       QStringLiteral("Encrypted connection"));
        return false;
    }
    const QString fingerprint = Fingerprint(certificate);
    const QString trusted = Trusted(hostPort);
    if (!trusted.isEmpty()) {
        if (trusted == fingerprint)
            return true;
        // never asked again: a yes here is what an attacker in the middle hopes for
        prompt.Message(QStringLiteral("WARNING: THE CERTIFICATE OF THE SERVER %1 HAS CHANGED.\n\n"
                                      "Someone may be intercepting the connection. It is refused.\n\n"
                                      "Trusted SHA-256 fingerprint:\n%2\n\nFingerprint now presented:\n%3\n\n"
                                      "If the server's administrator confirms that the certificate was replaced, "
                                      "remove the trust with \"Forget Trusted Certificate\" in \"Connect to "
                                      "Server\", then connect again.")
                           .arg(hostPort, trusted, fingerprint),
                       QStringLiteral("Security Warning"));
        return false;
    }
    QStringList problems;
    for (const QSslError &e : errors)
        problems.append(e.errorString());
    problems.removeDuplicates();
    const QString question =
        QStringLiteral("The server %1 presents a certificate that no authority on this system vouches for:\n%2\n\n"
                       "Subject: %3\nSHA-256 fingerprint:\n%4\n\n"
                       "Compare the fingerprint with the one the server's administrator gives you. Trust this "
                       "certificate for %1 from now on?")
            .arg(hostPort, problems.join(u'\n'), certificate.subjectDisplayName(), fingerprint);
    if (!prompt.YesNo(question, QStringLiteral("Encrypted connection")))
        return false;
    Trust(hostPort, fingerprint);
    return true;
}
