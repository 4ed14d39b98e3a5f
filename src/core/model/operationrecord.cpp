#include "operationrecord.h"

#include "keldata.h"
#include "kelrecord.h"

COperationRecord::COperationRecord(QStringView kind)
{
    m_text += kind;
    m_text += u';';
}

COperationRecord &COperationRecord::Text(QStringView key, const QString &value)
{
    m_text += key;
    m_text += u':';
    CKELRecord::EscapeForPacketAppend(value, m_text);
    m_text += u';';
    return *this;
}

COperationRecord &COperationRecord::Int(QStringView key, int value)
{
    m_text += key;
    m_text += u':';
    m_text += QString::number(value);
    m_text += u';';
    return *this;
}

COperationRecord &COperationRecord::Flag(QStringView key, bool value)
{
    return Int(key, value ? 1 : 0);
}

COperationRecord &COperationRecord::IntList(QStringView key, const QList<int> &values)
{
    m_text += key;
    m_text += u':';
    m_text += CKELRecord::JoinInts(values);
    m_text += u';';
    return *this;
}

COperationRecord &COperationRecord::Fields(const QString &fields)
{
    m_text += fields;
    return *this;
}
