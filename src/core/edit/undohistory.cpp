#include "undohistory.h"
#include "edittexts.h"

#include "editstep.h"
#include "elementrestorer.h"

#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelrecord.h"
#include "model/operationrecord.h"
#include "model/prompt.h"

#include <QHash>
#include <QSet>

#include <algorithm>

CUndoHistory &CKELDataManager::History()
{
    if (!m_history)
        m_history = new CUndoHistory(*this);
    return *m_history;
}

CUndoHistory::CUndoHistory(CKELDataManager &manager) : QObject(&manager), m(manager)
{
    connect(&m, &CKELDataManager::solutionReplaced, this, &CUndoHistory::Clear);
}

bool CUndoHistory::CanUndo() const
{
    return m_index > 0 && m_depth == 0;
}

bool CUndoHistory::CanRedo() const
{
    return m_index < int(m_steps.size()) && m_depth == 0;
}

QString CUndoHistory::UndoText() const
{
    return m_index > 0 ? m_steps[size_t(m_index - 1)].name : QString();
}

QString CUndoHistory::RedoText() const
{
    return m_index < int(m_steps.size()) ? m_steps[size_t(m_index)].name : QString();
}

void CUndoHistory::SetClean()
{
    m_clean = m_index;
    emit changed();
}

void CUndoHistory::ForgetClean()
{
    m_clean = -1;
    emit changed();
}

void CUndoHistory::Clear()
{
    m_steps.clear();
    m_index = 0;
    m_clean = 0;
    m_pendingOwn.clear();
    emit changed();
}

qint64 CUndoHistory::MemoryUse() const
{
    qint64 bytes = 0;
    for (const Step &s : m_steps) {
        bytes += qint64(sizeof(Step)) + s.name.size() * 2;
        for (const auto *list : {&s.undo, &s.redo}) {
            for (const QByteArray &b : *list)
                bytes += b.capacity() + qint64(sizeof(QByteArray));
        }
    }
    return bytes;
}

QByteArray CUndoHistory::pack(const QString &record)
{
    // large records (a whole layout, a removed subtree) are kept compressed
    QByteArray utf8 = record.toUtf8();
    if (utf8.size() < 4096)
        return utf8.prepend('p');
    QByteArray z = qCompress(utf8, 1);
    z.squeeze();
    return z.prepend('z');
}

QString CUndoHistory::unpack(const QByteArray &packed)
{
    if (packed.startsWith('z'))
        return QString::fromUtf8(qUncompress(packed.mid(1)));
    return QString::fromUtf8(packed.mid(1));
}

void CUndoHistory::BeginStep(const QString &name)
{
    if (m_depth++ > 0)
        return;
    m_open = Step();
    m_open.name = name;
    m_open.serial = m_nextSerial++;
    m_openSent = false;
}

void CUndoHistory::EndStep()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    if (m_open.undo.empty() && !m_openSent)
        return;
    m_steps.resize(size_t(m_index));
    if (m_clean > m_index)
        m_clean = -1;
    m_steps.push_back(std::move(m_open));
    m_open = Step();
    ++m_index;
    emit changed();
}

CUndoHistory::Step *CUndoHistory::stepOf(qint64 serial)
{
    if (!serial)
        return nullptr;
    if (m_depth > 0 && m_open.serial == serial)
        return &m_open;
    for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it) {
        if (it->serial == serial)
            return &*it;
    }
    return nullptr;
}

void CUndoHistory::Append(qint64 serial, const QString &undoRecord, const QString &redoRecord)
{
    if (Step *step = stepOf(serial)) {
        step->undo.push_back(pack(undoRecord));
        step->redo.push_back(pack(redoRecord));
    }
}

void CUndoHistory::NoteSent(const QString &record)
{
    // a shared solution applies the user's records when the server relays
    // them back: remember which step each belongs to
    const qint64 serial = Recording() ? m_open.serial : 0;
    if (serial) {
        m_openSent = true;
        ++m_open.inFlight;
    }
    m_pendingOwn.emplace_back(record, serial);
    while (m_pendingOwn.size() > 100000)
        m_pendingOwn.pop_front();
}

qint64 CUndoHistory::TakeOwn(const QString &record)
{
    for (auto it = m_pendingOwn.begin(); it != m_pendingOwn.end(); ++it) {
        if (it->first == record) {
            const qint64 serial = it->second;
            // records sent before it and not relayed were refused by the server
            for (auto done = m_pendingOwn.begin(); done != it + 1; ++done) {
                if (Step *step = stepOf(done->second))
                    step->inFlight = std::max(0, step->inFlight - 1);
            }
            m_pendingOwn.erase(m_pendingOwn.begin(), it + 1);
            if (serial)
                emit changed();
            return serial;
        }
    }
    return 0;
}

bool CUndoHistory::conflicts(const Step &step, bool undo, QString *what) const
{
    // The step expects every element it touched as it left it (undo) or as
    // it found it (redo); another user's edit since then makes it refuse.
    QHash<int, CElementState> expected;
    QList<int> order;
    // Geometry and page records carry no whole states: an element they
    // touch after (undo) or before (redo) the state a restore record holds
    // is left out of the comparison rather than mistaken for another
    // user's edit.
    QSet<int> unchecked;
    auto touchedWithoutState = [&](int id) {
        if (undo ? expected.contains(id) : !expected.contains(id))
            unchecked.insert(id);
    };
    const auto &list = undo ? step.redo : step.undo;
    for (const QByteArray &packed : list) {
        const QString text = unpack(packed);
        CKELRecord r;
        if (!r.Parse(text))
            continue;
        const QString kind = r.GetKind();
        if (kind == u"geo") {
            QList<int> values;
            r.GetIntList(u"n", values);
            for (qsizetype i = 0; i + 4 < values.size(); i += 5)
                touchedWithoutState(values[i]);
            continue;
        }
        if (kind == u"pages") {
            touchedWithoutState(r.GetInt(u"tid"));
            continue;
        }
        if (kind != u"rst")
            continue;
        QList<CElementState> states;
        CElementRestorer::Decode(r.RawView(u"e"), states);
        for (const CElementState &s : std::as_const(states)) {
            if (!expected.contains(s.id))
                order.append(s.id);
            // undo expects the last state a record left; redo the first one found
            if (undo) {
                expected.insert(s.id, s);
                unchecked.remove(s.id);
            } else if (!expected.contains(s.id)) {
                expected.insert(s.id, s);
            }
        }
    }
    const QList<CElementState> now = CElementRestorer(m).Capture(order);
    for (const CElementState &s : now) {
        if (unchecked.contains(s.id))
            continue;
        const CElementState &want = expected[s.id];
        if (!s.SameContent(want)) {
            const CKELData *e = m.Lookup(s.id);
            *what = e ? EditTexts::ChangedElement(e->GetType(), e->GetLabel()) : EditTexts::AnElement;
            return true;
        }
    }
    return false;
}

bool CUndoHistory::replay(const Step &step, bool undo)
{
    m_replaying = true;
    emit replayStarted();
    const auto &list = undo ? step.undo : step.redo;
    const qsizetype n = qsizetype(list.size());
    const bool shared = !m.IsLocal() && m.m_sink;
    bool ok = true;
    for (qsizetype i = 0; i < n; ++i) {
        const QString record = unpack(list[size_t(undo ? n - 1 - i : i)]);
        if (shared) {
            NoteSent(record);
            ok = m.m_sink->SendOperation(record) && ok;
        } else {
            m.ApplyOperationRecord(record);
        }
    }
    m_replaying = false;
    emit replayFinished();
    return ok;
}

void CUndoHistory::followClean()
{
    // the modified mark follows the history: back at the saved step, clean
    CKELSolution *solution = m.forEdit(m.Solution());
    if (!solution)
        return;
    if (IsClean()) {
        if (solution->IsModified()) {
            solution->SetModified(false);
            emit m.modifiedChanged(false);
        }
    } else {
        m.MarkModified();
    }
}

bool CUndoHistory::Undo()
{
    if (!CanUndo())
        return false;
    const Step &step = m_steps[size_t(m_index - 1)];
    if (step.inFlight > 0) {
        m.Prompt().Message(EditTexts::UndoStillTravelling);
        return false;
    }
    QString what;
    if (conflicts(step, true, &what)) {
        m.Prompt().Message(EditTexts::UndoChangedSince(what));
        return false;
    }
    if (!replay(step, true)) {
        m.Prompt().Message(EditTexts::UndoUnreachable);
        return false;
    }
    --m_index;
    followClean();
    emit changed();
    return true;
}

bool CUndoHistory::Redo()
{
    if (!CanRedo())
        return false;
    const Step &step = m_steps[size_t(m_index)];
    QString what;
    if (conflicts(step, false, &what)) {
        m.Prompt().Message(EditTexts::RedoChangedSince(what));
        return false;
    }
    if (!replay(step, false)) {
        m.Prompt().Message(EditTexts::RedoUnreachable);
        return false;
    }
    ++m_index;
    followClean();
    emit changed();
    return true;
}

CEditStep::CEditStep(CKELDataManager &manager, const QString &name) : m(manager)
{
    m.History().BeginStep(name);
}

CEditStep::~CEditStep()
{
    m.History().EndStep();
}
