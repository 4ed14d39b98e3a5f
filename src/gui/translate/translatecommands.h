#pragma once

#include "translate/translatesalmain.h"

#include <QObject>
#include <QString>

#include <memory>

class CMainFrame;
class QSettings;

// The translation commands of the desktop program: the options, the
// translations of a tree and their results dialog. It holds the one SAL
// translator of the run, whose settings persist between runs.
class CTranslateCommands : public QObject
{
    Q_OBJECT
public:
    enum Kind { Sal, SalWithSets, Uppaal };

    explicit CTranslateCommands(CMainFrame &frame);
    ~CTranslateCommands() override;

    CTranslateSettings &Settings() { return m_sal.Settings(); }

    // "SAL Option": true when the user changed the settings.
    bool ShowOptions();
    // Translates the tree and shows the results; false when nothing was
    // shown (unknown tree, a cancelled file choice or an error, which the
    // user is told about).
    bool Translate(int treeId, Kind kind);
    // Asks for the tree first, the given one preselected.
    bool TranslateChosen(Kind kind, int preselectedTreeId);

    // The settings file is the one verdantis-cli reads, so both use the
    // same parsers.
    static std::unique_ptr<QSettings> OpenSettings();

private:
    CMainFrame &m_frame;
    CTranslateSALMain m_sal;
};
