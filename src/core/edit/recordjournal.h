#pragma once

#include "elementrestorer.h"

#include <QList>
#include <QString>

class CKELDataManager;
class CKELRecord;

// Keeps what one record is about to change, so that the step it belongs to
// can be undone and redone. Made just before the record is applied; Commit
// after it was applied hands the two records to the undo history.
class CRecordJournal
{
public:
    // serial 0: the record is not journaled (another user's, or a replay).
    CRecordJournal(CKELDataManager &manager, const QString &text, const CKELRecord &record, const QString &kind,
                   qint64 serial);
    void Commit(bool applied);

    // Whether records of this kind change what the file holds (derived
    // diagrams do not) and so belong in the history.
    static bool IsJournaled(QStringView kind);

private:
    QList<int> footprint() const;

    CKELDataManager &m;
    const CKELRecord &r;
    const QString &m_text;
    QString m_kind;
    qint64 m_serial;
    QList<int> m_ids;
    QList<CElementState> m_before;
    QString m_inverseGeometry;
    int m_maxBefore = 0;
};
