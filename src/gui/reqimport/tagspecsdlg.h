#pragma once

#include "reqimport/requirementscan.h"

#include <QDialog>

class QCheckBox;
class QComboBox;

// "Set Requirement Tag Specifications": how tags stand in the text before
// the scan exports requirements. Each character choice is shown with its
// character in brackets ("colon(:)"), which is what the dialog hands on.
class CTagSpecsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CTagSpecsDlg(QWidget *parent = nullptr);

    // The choices as tag rules; addedTags is left for the caller to fill.
    CTagSpecs Rules() const;
    void SetRules(const CTagSpecs &rules);

    // The character between "(" and ")" of an entry, "\n" read as a line
    // feed; a null character when the entry has none.
    static QChar EntryCharacter(const QString &entry);

    QCheckBox *OnlyAddedBox() const { return m_onlyAdded; }
    QComboBox *PrecededByCombo() const { return m_precededBy; }
    QComboBox *WordsInTagCombo() const { return m_wordsInTag; }
    QComboBox *SeparatorCombo() const { return m_separator; }

private:
    QCheckBox *m_onlyAdded;
    QComboBox *m_precededBy;
    QComboBox *m_wordsInTag;
    QComboBox *m_separator;
};
