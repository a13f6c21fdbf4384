// The codebook as one self-contained HTML document: inline CSS, inline SVG
// charts, no script and nothing fetched; a page break between variables
// when printed. The markup is also well-formed XML (XHTML syntax), so that
// a strict parser reads it. Every text of the file is escaped; the figures
// a program would compare (counts, percents, statistics) are also in data-
// attributes as the shortest text that reads back. Written a variable at a
// time: the document is never held whole.
#pragma once

#include "core/codebook/codebook_content.h"
#include "core/export/output_file.h"
#include "core/state/progress.h"

namespace lv {

// Writes the document into out (the caller commits it). False when
// progress said stop.
bool WriteCodebookHtml(const CodebookContent& content, OutputFile& out,
                       Progress* progress = nullptr);

// text with &, <, >, " and ' as references, and what XML cannot hold (C0
// controls other than tab, line feed and carriage return, U+FFFE, U+FFFF)
// as U+FFFD.
void AppendHtmlText(std::string& out, std::string_view utf8);

}  // namespace lv
