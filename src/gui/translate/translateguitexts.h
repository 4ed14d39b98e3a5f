#pragma once

#include "explorer/explorertexts.h"

#include <QString>

// Texts of the translation windows and menus, from one place. (The
// translators' own messages live in the core's TranslateTexts.)
namespace TranslateGuiTexts {

// Menus; the explorer offers the SAL translation under the same entry
inline const QString &TranslateToSal = ExplorerTexts::TranslateToSal;
inline const QString TranslateToUppaal = QStringLiteral("Translate to UPPAAL");
inline const QString ModelChecking = QStringLiteral("Model Checking");
inline const QString SalOption = QStringLiteral("SAL Option");
inline const QString SalOptionTip = QStringLiteral("Select options for SAL model checking");
inline const QString Normal = QStringLiteral("Normal");
inline const QString WithSets = QStringLiteral("With Sets");
inline const QString SelectBtSal = QStringLiteral("Select BT to translate to SAL");
inline const QString SelectBtSalSets = QStringLiteral("Select BT to translate to SAL with set expressions");
inline const QString SelectBtUppaal = QStringLiteral("Select BT to translate to UPPAAL");

// SAL options
inline const QString SalOptionsTitle = QStringLiteral("Select SAL Options");
inline const QString NoMessageBlocking = QStringLiteral("No message blocking");
inline const QString PrioritiseInternal = QStringLiteral("Prioritise internal over external messages");
inline const QString NoBuffering =
    QStringLiteral("No buffering; 1st priority: internal msg, 2nd: internal actions, 3rd: external");
inline const QString UseRandomTree = QStringLiteral("Use randomly generated BT");
inline const QString UseFailureViews = QStringLiteral("Use Failure Views");
inline const QString DisplayTime = QStringLiteral("Display time taken for translation");
inline const QString AddProperties = QStringLiteral("Add properties to check (every leaf reachable, no deadlock)");
inline const QString MessageMode = QStringLiteral("Message mode");
inline const QString IntegerRange = QStringLiteral("Range of integer attributes (LOW..HIGH):");
inline const QString Iterations = QStringLiteral("No. of Iterations:");
inline const QString OutsideParsers = QStringLiteral("Outside parsers");
inline const QString ScratchFolder = QStringLiteral("Scratch folder:");
inline const QString SetParser = QStringLiteral("Set parser command:");
inline const QString BehaviorParser = QStringLiteral("Behavior parser command:");
inline const QString ParserHint = QStringLiteral("{in} and {out} stand for the parser's input and output files. "
                                                 "Leave a field empty for the parsers that come with Verdantis.");
inline QString OptionsNotStored(const QString &file)
{
    return QStringLiteral("The options apply to this session only: they could not be stored in ") + file;
}

// Choosing the tree
inline const QString KindRbt = QStringLiteral("RBT");
inline const QString KindIbt = QStringLiteral("IBT");
inline const QString KindEvt = QStringLiteral("EVT");
inline QString TreeEntry(const QString &name, const QString &kind)
{
    return name + QStringLiteral("  (") + kind + u')';
}
inline const QString SelectBt = QStringLiteral("Select BT:");
inline const QString NoTree = QStringLiteral("There is no behavior tree to translate.");
inline const QString AllFiles = QStringLiteral("All Files (*)");
inline const QString SelectDeclarations = QStringLiteral("Select the attribute declarations");
inline const QString SelectInitialisation = QStringLiteral("Select the initialisation file");
inline QString TranslationFailed(const QString &why)
{
    return QStringLiteral("The translation failed: ") + why;
}

// The result window
inline const QString ParsingTime = QStringLiteral("Parsing time (ms):");
inline const QString TranslationTime = QStringLiteral("Translation time (ms):");
inline const QString RandomTree = QStringLiteral("Randomly generated BT");
inline const QString Nodes = QStringLiteral("Number of nodes :");
inline const QString Branches = QStringLiteral("Number of branches :");
inline const QString Reversions = QStringLiteral("Number of reversions :");
inline const QString Macros = QStringLiteral("Number of macros :");
inline const QString ThreadKills = QStringLiteral("Number of thread kills :");
inline const QString SaveTranslation = QStringLiteral("Save translation");
inline const QString SaveTimes = QStringLiteral("Save times");
inline const QString Close = QStringLiteral("CLOSE");
inline const QString TextFileFilter = QStringLiteral("Text File (*.txt);;All Files (*)");
inline const QString TranslationNotSaved = QStringLiteral("The translation was not saved. ");
inline const QString SetContextIsModel =
    QStringLiteral("The set context was not saved: the model itself is named set.sal.");
inline const QString SetContextNotSaved = QStringLiteral("The set context was not saved. ");
inline const QString TimesNotSaved = QStringLiteral("The times were not saved. ");

} // namespace TranslateGuiTexts
