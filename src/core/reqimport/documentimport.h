#pragma once

#include "requirementscan.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Requirements documents as the scan reads them: plain text with one
// paragraph a block and an empty line between blocks. Word processor, web
// and markdown documents go through pandoc, PDF through pdftotext; both are
// run as separate programs so a document that crashes a converter cannot
// take the program with it.
namespace DocumentImport {

enum class Converter { None, Pandoc, PdfToText };

// The converter a file needs, by its extension; None for plain text.
Converter ConverterFor(const QString &path);
// "Requirements documents (*.txt *.docx ...)" and the plain-text filter, for file dialogs.
QString FileFilter();

// Reads any supported document. Tables with a column of tags become one
// paragraph a row, written the way rules expects a tag ("R1: text"). On
// failure returns false and says why in error (the converter's own words
// where it gave any).
bool Read(const QString &path, const CTagSpecs &rules, QString &text, QString *error);

// The pieces behind Read, for a text already converted.
// pandoc's JSON document tree to text; false with a reason when it is not one.
bool TextFromPandocJson(const QByteArray &json, const CTagSpecs &rules, QString &text, QString *error);
// pdftotext's layout text: rows of a table ("R1    The door ...") become tag paragraphs.
QString TextFromLayout(const QString &layoutText, const CTagSpecs &rules);
// Whether a table cell looks like a requirement tag: one word holding both
// a letter and a digit ("R1", "REQ-12", "SR.4"), so headings ("Tag") and
// section numbers ("2.1") are not taken for tags.
bool LooksLikeTag(const QString &cell);

// Documents larger than this are refused before any converter runs.
constexpr qint64 kMaxDocumentBytes = 256LL * 1024 * 1024;

} // namespace DocumentImport
