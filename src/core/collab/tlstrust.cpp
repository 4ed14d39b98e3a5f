#include "tlstrust.h"
#include "collabtexts.h"

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
        prompt.Message(CollabTexts::NoCertificate(hostPort), CollabTexts::EncryptedCaption);
        return false;
    }
    const QString fingerprint = Fingerprint(certificate);
    const QString trusted = Trusted(hostPort);
    if (!trusted.isEmpty()) {
        if (trusted == fingerprint)
            return true;
        // never asked again: a yes here is what an attacker in the middle hopes for
        prompt.Message(CollabTexts::CertificateChanged(hostPort, trusted, fingerprint),
                       CollabTexts::SecurityWarningCaption);
        return false;
    }
    QStringList problems;
    for (const QSslError &e : errors)
        problems.append(e.errorString());
    problems.removeDuplicates();
    const QString question = CollabTexts::TrustCertificateQuestion(hostPort, problems.join(u'\n'),
                                                                   certificate.subjectDisplayName(), fingerprint);
    if (!prompt.YesNo(question, CollabTexts::EncryptedCaption))
        return false;
    Trust(hostPort, fingerprint);
    return true;
}
