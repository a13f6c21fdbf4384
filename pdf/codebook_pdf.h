// The codebook as one PDF document, drawn with Qt's PDF writer from the same
// sections as the HTML one (codebook_content): a title page, the contents
// with each variable's page, a section per variable beginning on a new page
// (its facts, value and total tables that break across pages with their
// headings repeated, statistics, a bar chart or histogram drawn as
// vectors), then the multiple-response and variable sets; page numbers at
// the foot and a bookmark per variable. The fonts are embedded and the text
// stays searchable. The document is laid out twice, first without drawing
// to learn the page of each section for the contents, and written a page at
// a time: nothing but a page number and a height per variable is kept.
// Needs a QGuiApplication (GuiForDrawing in the tool).
#pragma once

#include "core/codebook/codebook_content.h"
#include "core/export/output_file.h"
#include "core/state/progress.h"

namespace lv {

// Writes the document into out (the caller commits it). False when
// progress said stop.
bool WriteCodebookPdf(const CodebookContent& content, OutputFile& out,
                      Progress* progress = nullptr);

}  // namespace lv
