#pragma once

#include <QString>

// Texts of the requirements windows: ReqIF exchange, the traceability
// report and the translation assistant. (The assistant's own messages and
// lists live in the core's ReqImportTexts.)
namespace ReqImportGuiTexts {

inline const QString MessageCaption = QStringLiteral("Message");

// ReqIF exchange
inline const QString ExportReqif = QStringLiteral("Export ReqIF");
inline const QString ImportReqif = QStringLiteral("Import ReqIF");
inline const QString ReqifExportFilter = QStringLiteral("ReqIF Files (*.reqif);;All Files (*)");
inline const QString ReqifImportFilter = QStringLiteral("ReqIF Files (*.reqif *.xml);;All Files (*)");
inline const QString ImportReqifEntry = QStringLiteral("Import ReqIF...");
inline const QString ImportReqifTip = QStringLiteral("Add the requirements of a ReqIF file from a requirements tool");
inline const QString ExportReqifEntry = QStringLiteral("Export ReqIF...");
inline const QString ExportReqifTip = QStringLiteral("Write every version's requirements as a ReqIF file");
inline QString CannotWrite(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot write %1: %2").arg(path, why);
}
inline QString CannotRead(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot read %1: %2").arg(path, why);
}
inline QString Exported(const QString &file)
{
    return QStringLiteral("Requirements exported to %1").arg(file);
}
inline QString NotReqif(const QString &file, const QString &why)
{
    return QStringLiteral("%1 is not a ReqIF file this program can read: %2").arg(file, why);
}
inline const QString NothingNew = QStringLiteral("The file holds no requirement that is new or different.");
inline QString ChangedDescriptions(qsizetype count, const QString &changes)
{
    return QStringLiteral("%1 requirement(s) in the file have other descriptions:\n\n%2\n\n"
                          "Yes changes them, No keeps them as they are, Cancel imports nothing.")
        .arg(QString::number(count), changes);
}
inline QString Imported(int added, int changed)
{
    return QStringLiteral("%1 requirement(s) added, %2 changed").arg(QString::number(added), QString::number(changed));
}

// Traceability report
inline const QString ReportCaption = QStringLiteral("Traceability Report");
inline const QString ReportFilter = QStringLiteral("Web Page (*.html);;Spreadsheet (*.csv);;JSON (*.json)");
inline const QString ReportEntry = QStringLiteral("Traceability Report...");
inline const QString ReportTip =
    QStringLiteral("Which requirements the design covers, and which behavior answers to no requirement");
inline QString ReportWritten(const QString &file, qsizetype covered, qsizetype requirements, qsizetype untraced)
{
    return QStringLiteral("Traceability report written to %1: %2 of %3 requirement(s) covered, %4 node(s) without a "
                          "requirement")
        .arg(file, QString::number(covered), QString::number(requirements), QString::number(untraced));
}

// The translation assistant
inline const QString ImportRequirementsEntry = QStringLiteral("Import Requirements");
inline const QString AssistantTitle = QStringLiteral("Import Requirements and Component Behaviors");
inline const QString AssistantHeading = QStringLiteral("Requirements Translation Assistant");
inline const QString Start = QStringLiteral("Start <<");
inline const QString Back = QStringLiteral("Back <");
inline const QString Forward = QStringLiteral("Forward >");
inline const QString End = QStringLiteral("End >>");
inline const QString SkipAdded = QStringLiteral("Skip Already Added Words");
inline const QString AddTag = QStringLiteral("Add Tag");
inline const QString AddComponent = QStringLiteral("Add Component");
inline const QString AddBehavior = QStringLiteral("Add  Behavior");
inline const QString TagColumn = QStringLiteral("Tag");
inline const QString ComponentColumn = QStringLiteral("Component");
inline const QString BehaviorsColumn = QStringLiteral("Component Behaviors");
inline const QString TypesColumn = QStringLiteral("Behavior Types");
inline const QString Remove = QStringLiteral("Remove");
inline const QString NodesLabel = QStringLiteral("Nodes:");
inline const QString CreateNode = QStringLiteral("Create Node");
inline const QString ExportNodes = QStringLiteral("Export Nodes");
inline const QString FileMenu = QStringLiteral("&File");
inline const QString New = QStringLiteral("&New");
inline const QString Open = QStringLiteral("&Open");
inline const QString Save = QStringLiteral("&Save");
inline const QString ImportFrom = QStringLiteral("Import From...");
inline const QString FromFile = QStringLiteral("File");
inline const QString FromModel = QStringLiteral("Verdantis");
inline const QString ExportTo = QStringLiteral("Export Requirements To...");
inline const QString Exit = QStringLiteral("E&xit");
inline const QString EditMenu = QStringLiteral("&Edit");
inline const QString Undo = QStringLiteral("&Undo");
inline const QString Redo = QStringLiteral("&Redo");
inline const QString Cut = QStringLiteral("Cu&t");
inline const QString Copy = QStringLiteral("&Copy");
inline const QString Paste = QStringLiteral("&Paste");
inline const QString SelectAll = QStringLiteral("Select &All");
inline const QString ViewMenu = QStringLiteral("&View");
inline const QString WrapLines = QStringLiteral("&Wrap Lines");
inline const QString HelpMenu = QStringLiteral("&Help");
inline const QString HowTo = QStringLiteral("&How To");
inline const QString HowToText =
    QStringLiteral("Open a requirements text, walk its words with Start, Back, Forward and End, and file "
                   "the selected word with Add Tag, Add Component or Add  Behavior. Export Requirements "
                   "To Verdantis adds a requirement per tag found in the text. Choose a tag, a component, "
                   "a behavior and a behavior type and press Create Node for each node, then Export Nodes "
                   "adds them to the RBT of the active tree window.");
inline const QString OpenCaption = QStringLiteral("Open");
inline const QString SaveAsCaption = QStringLiteral("Save As");
inline const QString TextFilter = QStringLiteral("NL Text Files (*.txt);;All Files (*)");
inline QString Converted(const QString &file)
{
    return QStringLiteral("%1 (converted to text)").arg(file);
}
inline const QString DiscardChangedText = QStringLiteral("The text has been changed. Discard it?");
inline const QString NoSolution = QStringLiteral("There is no open solution. Make or open one first.");
inline const QString CurrentVersionRequirements = QStringLiteral("Requirements of the current version");
inline const QString StepImportRequirements = QStringLiteral("Import Requirements");
inline const QString StepImportNodes = QStringLiteral("Import Nodes");
inline QString RequirementsAdded(int added)
{
    return QStringLiteral("%1 requirement(s) added").arg(added);
}
inline QString Refused(qsizetype refused)
{
    return QStringLiteral(", %1 refused").arg(refused);
}
inline const QString NoRbt = QStringLiteral("There is no RBT to add the nodes to. Make one with \"New RBT\" first.");
inline QString NodesAdded(int added, const QString &tree)
{
    return QStringLiteral("%1 node(s) added to %2").arg(QString::number(added), tree);
}

// Choosing the RBT and the tag rules
inline const QString SelectRbtTitle = QStringLiteral("Select RBT");
inline const QString AddNodesToRbt = QStringLiteral("Add the nodes to the RBT:");
inline const QString UseOnlyAddedTags = QStringLiteral("Use Only Added tags");
inline const QString TagSpecsTitle = QStringLiteral("Set Requirement Tag Specifications");
inline const QString PrecededByLabel = QStringLiteral("Preceded By:");
inline const QString WordsInTagLabel = QStringLiteral("Words in Tag:");
inline const QString SeparatorLabel = QStringLiteral("Ends in/Separator:");
// The entries name their character in parentheses, which is how the dialog reads them back
inline const QString NewlineEntry = QStringLiteral("newline(\\n)");
inline const QString PeriodEntry = QStringLiteral("period(.)");
inline const QString ColonEntry = QStringLiteral("colon(:)");
inline const QString SingleWord = QStringLiteral("Single");

} // namespace ReqImportGuiTexts
