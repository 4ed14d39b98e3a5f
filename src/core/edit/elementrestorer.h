#pragma once

#include <QList>
#include <QString>

class CKELDataManager;

// One element as it stands: its own record (without the ids of what it
// owns), its owner and its place among the owner's children. An empty
// record means the element does not exist.
struct CElementState
{
    int id = 0;
    int ownerId = 0;
    int index = 0;
    QString record;

    bool Exists() const { return !record.isEmpty(); }
    bool SameContent(const CElementState &other) const { return record == other.record && ownerId == other.ownerId; }
};

// Reads elements' states and puts elements back into given states, in
// place: elements that should not exist go, missing ones come back with
// their ids, changed ones are rebuilt from their records and put back
// under their owners at their places. Undo and redo are made of this.
class CElementRestorer
{
public:
    explicit CElementRestorer(CKELDataManager &manager) : m(manager) {}

    QList<CElementState> Capture(const QList<int> &ids) const;
    // Puts every listed element into its state. maxCount is the id counter
    // to come back to, kept higher when a later id still lives.
    void Apply(const QList<CElementState> &states, int maxCount);

    // The states as the text of one record field, and back.
    static QString Encode(const QList<CElementState> &states);
    static bool Decode(QStringView text, QList<CElementState> &out);

private:
    CKELDataManager &m;
};
