#pragma once

#include <QString>

// Texts of the main window, its menus and bars, the help windows and the
// solution file commands, from one place.
namespace AppTexts {

inline const QString ProductName = QStringLiteral("Verdantis");
inline const QString Description = QStringLiteral("Modelling with Behavior Trees");
inline const QString FileArgumentHelp = QStringLiteral("A solution file (.kvf) to open.");
inline const QString SplashVersion = QStringLiteral("Behavior Tree modelling  ·  version ");
inline const QString TitlePrefix = QStringLiteral(" TESSEL: ");
inline const QString MessageCaption = QStringLiteral("Message");

// Menu entries and their status tips; an entry with several windows in its
// menu numbers them "&1 Title"
inline QString NumberedEntry(int number, const QString &text)
{
    return QStringLiteral("&%1 %2").arg(QString::number(number), text);
}
inline const QString New = QStringLiteral("&New");
inline const QString NewTip = QStringLiteral("Create a new solution");
inline const QString Open = QStringLiteral("&Open...");
inline const QString OpenTip = QStringLiteral("Open a solution file");
inline const QString Save = QStringLiteral("&Save");
inline const QString SaveTip = QStringLiteral("Save the solution");
inline const QString SaveAs = QStringLiteral("Save &As...");
inline const QString SaveAsTip = QStringLiteral("Save the solution under a new name");
inline const QString Close = QStringLiteral("&Close");
inline const QString CloseTip = QStringLiteral("Close the solution");
inline const QString Quit = QStringLiteral("&Quit");
inline const QString Undo = QStringLiteral("&Undo");
inline const QString Redo = QStringLiteral("&Redo");
inline const QString NewRequirement = QStringLiteral("New Requirement");
inline const QString NewRbt = QStringLiteral("New RBT");
inline const QString NewIbt = QStringLiteral("New IBT");
inline const QString FileMenu = QStringLiteral("&File");
inline const QString EditMenu = QStringLiteral("&Edit");
inline const QString ViewMenu = QStringLiteral("&View");
inline const QString ColourSchemeMenu = QStringLiteral("Colour &Scheme");
inline const QString NotationSchemeTip = QStringLiteral("The notation's own colours: bright fills with square corners");
inline const QString SoftSchemeTip = QStringLiteral("Softer fills, rounded corners and thin borders");
inline const QString ModelMenu = QStringLiteral("&Model");
inline const QString WindowMenu = QStringLiteral("&Window");
inline const QString Cascade = QStringLiteral("&Cascade");
inline const QString Tile = QStringLiteral("&Tile");
inline const QString Next = QStringLiteral("&Next");
inline const QString Previous = QStringLiteral("&Previous");
inline const QString HelpMenu = QStringLiteral("&Help");
inline const QString UserGuideEntry = QStringLiteral("&User Guide");
inline const QString ShortcutsEntry = QStringLiteral("&Keyboard Shortcuts");
inline const QString AboutEntry = QStringLiteral("&About Verdantis");
inline const QString AboutTitle = QStringLiteral("About Verdantis");
inline QString AboutText(const QString &version)
{
    return QStringLiteral("<b>Verdantis</b> %1<br>Modelling with Behavior Trees.<br><br>"
                          "Free software under the GNU General Public License, version 3 or later: "
                          "you may share and change it under its terms. There is no warranty.")
        .arg(version);
}
inline const QString GuideNotInstalled = QStringLiteral("The user guide is not installed. It is part of the "
                                                        "Verdantis package and of a build with pandoc.");

// Bars and docks; other parts find the product bar by its title
inline const QString StandardToolbar = QStringLiteral("Standard Toolbar");
inline const QString ProductToolbar = QStringLiteral("Verdantis Toolbar");
inline const QString PanWindow = QStringLiteral("Pan Window");
inline const QString FormatBar = QStringLiteral("Canvas Format Bar");
inline const QString AlignBar = QStringLiteral("Canvas Align Bar");
inline const QString Ready = QStringLiteral("Ready");
inline const QString CapsLock = QStringLiteral("CAP");
inline const QString NumLock = QStringLiteral("NUM");
inline const QString ScrollLock = QStringLiteral("SCRL");

// Keyboard shortcuts and user guide windows
inline const QString MainWindowPlace = QStringLiteral("Main window");
inline const QString TreeWindowPlace = QStringLiteral("Tree window");
inline const QString MenuPathSeparator = QStringLiteral(" > ");
inline const QString ShortcutsTitle = QStringLiteral("Keyboard Shortcuts");
inline const QString Filter = QStringLiteral("Filter");
inline const QString FilterShortcuts = QStringLiteral("Filter shortcuts");
inline const QString ShortcutTable = QStringLiteral("Keyboard shortcuts");
inline const QString CommandColumn = QStringLiteral("Command");
inline const QString KeysColumn = QStringLiteral("Keys");
inline const QString WhereColumn = QStringLiteral("Where");
inline const QString GuideTitle = QStringLiteral("Verdantis User Guide");
inline QString GuidePageTitle(const QString &page)
{
    return page + QStringLiteral(" - Verdantis User Guide");
}
inline const QString GuideBrowser = QStringLiteral("User guide");
inline const QString Back = QStringLiteral("Back");
inline const QString Forward = QStringLiteral("Forward");
inline const QString Contents = QStringLiteral("Contents");

// Recovery after a crash
inline QString RecoveryQuestion(const QString &name, const QString &written)
{
    return QStringLiteral("Verdantis did not close properly. A recovery copy of the solution \"%1\" from %2 exists.\n\n"
                          "Restore it? (No deletes the copy.)")
        .arg(name, written);
}
inline const QString RecoverCaption = QStringLiteral("Recover Solution");
inline QString RecoveryUnreadable(const QString &why)
{
    return QStringLiteral("The recovery copy could not be read: ") + why;
}
inline QString RecoveryRestored(const QString &name)
{
    return QStringLiteral("Restored the recovery copy of %1").arg(name);
}
inline QString NotOpenedAfterRecovery(const QString &file)
{
    return QStringLiteral("%1 was not opened: the recovered solution is open.").arg(file);
}

// Solution files
inline const QString FileFilter = QStringLiteral("Tessel Solution File (*.kvf);;All Files (*.*)");
inline const QString OpenCaption = QStringLiteral("Open");
inline const QString SaveAsCaption = QStringLiteral("Save As");
inline QString ChangedQuestion(const QString &label)
{
    return QStringLiteral("Solution ") + label + QStringLiteral("has been changed. Save it?");
}
inline QString Opening(const QString &path)
{
    return QStringLiteral("Opening %1 ...").arg(path);
}
inline QString CannotRead(const QString &path)
{
    return QStringLiteral("Cannot read \"%1\".").arg(path);
}
inline QString Opened(const QString &path, qsizetype elements, double seconds)
{
    return QStringLiteral("Opened %1 (%2 elements) in %3 s")
        .arg(path, QString::number(elements), QString::number(seconds, 'f', 2));
}
inline const QString CounterIgnored = QStringLiteral("; the file's element counter was out of range and was ignored");
inline QString Saving(const QString &path)
{
    return QStringLiteral("Saving %1 ...").arg(path);
}
inline QString CannotWrite(const QString &path)
{
    return QStringLiteral("Cannot write \"%1\".").arg(path);
}
inline QString SavedInPlace(const QString &path)
{
    return QStringLiteral("Saved %1 in place, not atomically: the folder allows no temporary file").arg(path);
}
inline QString Saved(const QString &path)
{
    return QStringLiteral("Saved %1").arg(path);
}
inline const QString SaveLocallyQuestion = QStringLiteral("Are you going to save the solution locally?");
inline const QString SaveLocallyCaption = QStringLiteral("Save a solution");

} // namespace AppTexts
