#pragma once

#include "translate/translatesettings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

// "Select SAL Options": the message mode, the random tree, failure views,
// timing, and where the outside parsers are and how they are run.
class CSALOptionsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSALOptionsDlg(const CTranslateSettings &settings, QWidget *parent = nullptr);

    // The settings as the controls now have them.
    CTranslateSettings Settings() const;

private:
    CTranslateSettings m_settings; // what the dialog does not show is kept as it was
    QRadioButton *m_mode1;
    QRadioButton *m_mode2;
    QRadioButton *m_mode4;
    QCheckBox *m_randomTree;
    QCheckBox *m_failureViews;
    QCheckBox *m_displayTime;
    QCheckBox *m_properties;
    QLineEdit *m_intRange;
    QLineEdit *m_iterations;
    QLineEdit *m_scratchFolder;
    QLineEdit *m_setParser;
    QLineEdit *m_behaviorParser;
};
